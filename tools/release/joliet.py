"""What Windows reads of a disc: the Joliet tree of an image or a device,
as xorriso lists it, beside the Rock Ridge tree that Linux mounts.

python3 tools/release/joliet.py compare IMAGE MANIFEST_FILE
    says each file of the manifest that Windows would not read on the image
    as listed (and each file the Joliet tree holds beyond them); exit 1
    when there is any."""

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


def problems(entries, image):
    """The files of the manifest that Windows would not read as listed, as
    lines: missing from the image's Joliet tree, of another size there, or
    read from other data than Linux reads; and files only Windows sees."""
    windows = tree(image, True)
    linux = {manifest.path_key(path): place for path, place in tree(image, False).items()}
    seen = {manifest.path_key(path): (path, place) for path, place in windows.items()}
    seen.pop(manifest.NAME, None)
    said = []
    for key, (path, size, _digest, _line) in sorted(entries.items()):
        found = seen.pop(key, None)
        if not found:
            said.append("missing where Windows reads (the Joliet tree): %s" % path)
        elif found[1][0] != size:
            said.append("differs where Windows reads (the Joliet tree): %s (%d bytes, the manifest says %d)"
                        % (path, found[1][0], size))
        elif size and key in linux and linux[key][1] != found[1][1]:
            said.append("differs where Windows reads (the Joliet tree): %s (other data than Linux reads)" % path)
    said += ["not in the manifest, where Windows reads (the Joliet tree): %s" % path
             for path, _place in sorted(seen.values())]
    return said


def main():
    if len(sys.argv) != 4 or sys.argv[1] != "compare":
        print(__doc__, file=sys.stderr)
        return 2
    try:
        with open(sys.argv[3], "rb") as data:
            entries, fault = manifest.read(data.read())
        said = ["the manifest %s: %s" % (sys.argv[3], fault)] if fault else problems(entries, sys.argv[2])
    except (OSError, Unreadable) as error:
        print(error, file=sys.stderr)
        return 1
    for line in said:
        print(line, file=sys.stderr)
    return 1 if said else 0


if __name__ == "__main__":
    sys.exit(main())
