"""What Windows reads of a disc: the Joliet tree of an image or a device,
as xorriso lists it, beside the Rock Ridge tree that Linux mounts.

python3 tools/release/joliet.py compare IMAGE MEDIA_FOLDER
    says each file of the folder that Windows would not find on the image
    under its name, with its size (and each file the Joliet tree holds
    beyond them); exit 1 when there is any."""

import os
import shlex
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from release import manifest  # noqa: E402

LIST_SECONDS = 600      # xorriso reads the directory records only
DATA_LINE = "File data lba:"


class Unreadable(Exception):
    """An image or device whose trees xorriso can't list."""


def tree(source, joliet):
    """{path on the disc (backslashes): (size, first block)} of the files of
    the image or device `source`: its Joliet tree (what Windows reads), or
    its Rock Ridge tree (what Linux mounts). Links hold no data and are not
    listed."""
    # A mounted disc's drive is opened beside its mount, and only read.
    command = ["xorriso", "-abort_on", "FAILURE", "-local_charset", "UTF-8", "-drive_access", "shared:readonly"]
    if joliet:
        command += ["-read_fs", "norock"]
    command += ["-indev", source, "-find", "/", "-type", "f", "-exec", "report_lba", "--"]
    try:
        done = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=LIST_SECONDS,
                              env=dict(os.environ, LC_ALL="C.UTF-8"))
    except (OSError, subprocess.TimeoutExpired) as error:
        raise Unreadable("xorriso could not list %s: %s" % (source, error))
    if done.returncode != 0:
        raise Unreadable("xorriso could not list %s" % source)
    files = {}
    for line in done.stdout.decode("utf-8", "replace").splitlines():
        if not line.startswith(DATA_LINE):
            continue
        fields = line[len(DATA_LINE):].split(",", 4)
        if len(fields) != 5:
            continue
        try:
            words = shlex.split(fields[4])
        except ValueError:      # a name that holds a line break: no name Windows reads
            continue
        if len(words) != 1:
            continue
        path = words[0].lstrip("/").replace("/", "\\")
        size, block = int(fields[3]), int(fields[1])
        if path in files:       # a further extent of a large file
            files[path] = (files[path][0] + size, files[path][1])
        else:
            files[path] = (size, block)
    return files


def compare(image, folder):
    """The lines that say where the Joliet tree of `image` differs from the
    files of `folder` (the manifest, written by make-disc, aside)."""
    joliet = tree(image, True)
    joliet.pop(manifest.NAME, None)
    problems = []
    for shown, full in sorted(manifest.disc_files(folder).items()):
        seen = joliet.pop(shown, None)
        if seen is None:
            problems.append("Windows would not find %s on the disc" % shown)
        elif seen[0] != os.path.getsize(full):
            problems.append("Windows would read %d bytes of %s, not %d" % (seen[0], shown, os.path.getsize(full)))
    problems += ["the disc shows Windows %s, which is not in the folder" % shown for shown in sorted(joliet)]
    return problems


def main():
    if len(sys.argv) != 4 or sys.argv[1] != "compare":
        print(__doc__, file=sys.stderr)
        return 2
    try:
        problems = compare(sys.argv[2], sys.argv[3])
    except Unreadable as error:
        print(error, file=sys.stderr)
        return 1
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
