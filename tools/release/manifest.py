"""The manifest of a disc (QVDISC.SUM at its root): every file's SHA-256,
size and CP932 path, and a last line that checks the lines above. Its name
and check word are qvcheck's, read from qvcheck/disc_manifest.h, which
describes the form.

python3 tools/release/manifest.py write MEDIA_FOLDER OUT_FILE
    writes the manifest of a folder; exit 1 with a message when a name has
    no CP932 form or is longer than Joliet holds, two names differ only in
    case, a file can't be read, or a link leaves the folder or names a
    folder; each link to a file of the folder is named."""

import errno
import hashlib
import os
import re
import stat
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHUNK = 1 << 20
DIGEST = re.compile(r"[0-9a-f]{64}")
JOLIET_NAME_CHARACTERS = 103    # the longest Joliet name xorriso writes (-joliet-long)


def _header_fact(name):
    with open(os.path.join(ROOT, "qvcheck", "disc_manifest.h"), encoding="utf-8") as header:
        return re.search(r'constexpr char %s\[\] = "([^"]*)";' % name, header.read()).group(1)


NAME = _header_fact("DiscManifestName")
CHECK_WORD = _header_fact("DiscManifestCheckWord")
HEADER = ("; %s: the files of this disc, one a line: SHA-256, size in bytes, path.\r\n"
          "; The last line is the SHA-256 of every line above it.\r\n" % NAME).encode("ascii")


class Refused(Exception):
    """A folder that can't be put on a disc as it is."""


def digest_of(path, done=None):
    """The SHA-256 of a file and its size, read once; `done(bytes)` is told
    of each piece read."""
    digest, size = hashlib.sha256(), 0
    if not stat.S_ISREG(os.stat(path).st_mode):     # a pipe or a device would be waited on for ever
        raise OSError(errno.EINVAL, "not a plain file")
    with open(path, "rb") as data:
        while True:
            piece = data.read(CHUNK)
            if not piece:
                return digest.hexdigest(), size
            digest.update(piece)
            size += len(piece)
            if done:
                done(len(piece))


def path_key(path):
    """Two paths of a disc name one file when their keys are equal: ASCII
    letters without case (the disc is read by Windows)."""
    return re.sub(r"[a-z]+", lambda m: m.group(0).upper(), path)


def disc_files(folder):
    """{path on the disc (backslashes): Linux path} of a folder's files,
    the manifest at its root left out."""
    files = {}
    for here, folders, names in os.walk(folder):
        folders.sort()
        for name in names:
            full = os.path.join(here, name)
            shown = os.path.relpath(full, folder).replace(os.sep, "\\")
            if shown.upper() != NAME:
                files[shown] = full
    return files


def check_names(folder):
    """Refuses what Windows would not read as the folder holds it: a name
    longer than Joliet keeps, two names that differ only in case, a link to
    a folder or out of the folder; answers the links to files of the folder,
    whose contents the disc holds in their place."""
    links, keys = [], {}
    for here, folders, names in os.walk(folder):
        for name in folders + names:
            full = os.path.join(here, name)
            shown = os.path.relpath(full, folder).replace(os.sep, "\\")
            if len(name.encode("utf-16-le")) // 2 > JOLIET_NAME_CHARACTERS:
                raise Refused("a name is longer than the %d characters a Joliet name holds, so Windows would read "
                              "it cut: %s" % (JOLIET_NAME_CHARACTERS, full))
            other = keys.setdefault(path_key(shown), shown)
            if other != shown:
                raise Refused("two names differ only in case, and Windows reads them as one: %s and %s"
                              % (other, shown))
            if not os.path.islink(full):
                continue
            if name in folders:
                raise Refused("a symbolic link to a folder, which the disc can't hold: %s" % full)
            if not os.path.realpath(full).startswith(folder + os.sep):
                raise Refused("a symbolic link leaves the folder: %s" % full)
            links.append(shown)
    return links


def write(folder, links=None):
    """The manifest's bytes for a media folder; `links`, when given, gets
    the links to files of the folder."""
    folder = os.path.realpath(folder)
    lines = []
    found = check_names(folder)
    if links is not None:
        links.extend(found)
    for shown, full in disc_files(folder).items():
        try:
            encoded = shown.encode("cp932")
        except UnicodeEncodeError:
            raise Refused("a name has no CP932 form, which Windows 98 reads: %s" % full)
        try:
            digest, size = digest_of(full)
        except OSError as error:
            raise Refused("%s can't be read: %s" % (full, error.strerror or error))
        lines.append(b"%s %d %s\r\n" % (digest.encode("ascii"), size, encoded))
    body = HEADER + b"".join(sorted(lines, key=lambda line: line.split(b" ", 2)[2]))
    return body + b"%s %s\r\n" % (CHECK_WORD.encode("ascii"), hashlib.sha256(body).hexdigest().encode("ascii"))


def read(data):
    """(entries, fault): entries {path key: (path, size, digest, line)} and
    None, or the fault of a manifest that can't be trusted, with its line."""
    entries, start, number = {}, 0, 0
    check = CHECK_WORD.encode("ascii") + b" "
    while start < len(data):
        number += 1
        end = data.find(b"\n", start)
        line = data[start:] if end < 0 else data[start:end]
        line = line[:-1] if line.endswith(b"\r") else line
        if line.startswith(check):
            if end < 0 or end + 1 != len(data):
                return entries, "it is cut short (line %d)" % number
            if line[len(check):].decode("ascii", "replace") != hashlib.sha256(data[:start]).hexdigest():
                return entries, "its check line fails: it was damaged or edited (line %d)" % number
            return entries, None
        if not line.startswith(b";"):
            fields = line.split(b" ", 2)
            try:
                digest, size, path = fields[0].decode("ascii"), int(fields[1]), fields[2].decode("cp932")
            except (IndexError, ValueError, UnicodeDecodeError):
                return entries, "line %d is no entry" % number
            if not DIGEST.fullmatch(digest) or path_key(path) in entries:
                return entries, "line %d is no entry, or names a file twice" % number
            entries[path_key(path)] = (path, size, digest, number)
        if end < 0:
            break
        start = end + 1
    return entries, "it has no check line: it is cut short"


def main(arguments):
    if len(arguments) != 3 or arguments[0] != "write" or not os.path.isdir(arguments[1]):
        print("usage: manifest.py write MEDIA_FOLDER OUT_FILE", file=sys.stderr)
        return 2
    links = []
    try:
        data = write(arguments[1], links)
    except Refused as refusal:
        print("make-disc: %s; no image written" % refusal, file=sys.stderr)
        return 1
    for link in links:
        print("make-disc: %s is a symbolic link: the disc holds a copy of the file it names" % link,
              file=sys.stderr)
    with open(arguments[2], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
