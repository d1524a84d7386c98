"""The report of a run: what the result file says, the files and registry
values before and after, and report.txt and report.html."""

import html
import os
import re
import subprocess

PICTURE_ORDER = ["background", "selection-dialog", "drive-dialog", "message-box", "notice",
                 "copy-progress"]
# What the bench itself changes in the registry: the CD-ROM drive's mounts,
# the display driver's keys that each start of the desktop writes anew, the
# desktop's own settings.
REGISTRY_NOISE = re.compile(
    r"HKEY_LOCAL_MACHINE\\System\\(MountedDevices|CurrentControlSet\\Control\\Video|"
    r"CurrentControlSet\\Control\\Class\\\{4D36E968-E325-11CE-BFC1-08002BE10318\})\\|"
    r"HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters", re.I)


def unescape(value):
    """A value of the result file read back: \\\\ is a backslash, \\n a line
    break. The value is text already (decoded from CP932), so the second
    byte of a double-byte character is no backslash here."""
    return re.sub(r"\\([\\n])", lambda m: "\n" if m.group(1) == "n" else "\\", value)


def read_result(data):
    """{section: {key: value}} of a result file's bytes."""
    sections, section = {}, None
    for line in data.decode("cp932", "replace").splitlines():
        if line.startswith("[") and line.endswith("]"):
            section = sections.setdefault(line[1:-1], {})
        elif section is not None and "=" in line:
            name, value = line.split("=", 1)
            section[name] = unescape(value)
    return sections


def read_registry(data):
    """{key\\value: data} of a regedit export's bytes (UTF-16 or ANSI)."""
    text = data.decode("utf-16") if data[:2] == b"\xff\xfe" else data.decode("cp932", "replace")
    entries, key, pending = {}, None, ""
    for line in text.splitlines():
        if pending:
            line, pending = pending + line.strip(), ""
        if line.endswith("\\"):
            pending = line[:-1]
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            entries[key + "\\"] = "(key)"
        elif key and "=" in line and not line.startswith(";"):
            name, value = line.split("=", 1)
            entries[key + "\\" + name.strip('"')] = value
    return entries


def file_listing(drive, left_out):
    """{path below the drive's root folder: (size, modification time)}, the
    folder `left_out` (a name at the root) not listed."""
    listing = {}
    for folder, folders, files in os.walk(drive):
        if folder == drive and left_out in folders:
            folders.remove(left_out)
        for name in files:
            path = os.path.join(folder, name)
            try:
                status = os.lstat(path)
            except OSError:
                continue
            shown = "C:\\" + os.path.relpath(path, drive).replace("/", "\\")
            listing[shown] = (status.st_size, status.st_mtime_ns)
    return listing


def compare(before, after):
    """Created, changed and removed names, each sorted by folder, then name."""
    order = lambda name: name.rsplit("\\", 1)
    created = sorted((k for k in after if k not in before), key=order)
    removed = sorted((k for k in before if k not in after), key=order)
    changed = sorted((k for k in after if k in before and after[k] != before[k]), key=order)
    return created, changed, removed


def grouped(paths, sizes):
    """Lines of paths grouped by folder, with sizes where known."""
    lines, last = [], None
    for path in paths:
        folder, name = path.rsplit("\\", 1)
        if folder != last:
            lines.append(folder + "\\")
            last = folder
        size = sizes.get(path)
        lines.append("    %s%s" % (name, "" if size is None else "  (%d bytes)" % size[0]))
    return lines


def sections_of(facts):
    sections = []
    outcome = ["exit code: %s (%s)" % (facts["exit"], facts["meaning"]), "time: %.1f s" % facts["seconds"]]
    if facts["stopped"]:
        outcome.append("stopped: the run did not end within %d s" % facts["timeout"])
    result = facts["result"].get("Result", {})
    if result.get("Message") or result.get("FailedAt"):
        outcome.append("the box that ended the run: " + result.get("Message", "").replace("\n", " | "))
        outcome.append("at: " + result.get("FailedAt", ""))
    sections.append(("Outcome", outcome))
    sections.append(("Pictures", facts["pictures"] or ["none"]))
    sections.append(("Discs", facts["swaps"] or ["disc 1 only"]))
    sections.append(("Chosen", facts["chosen"] or ["no application"]))
    sections.append(("Commands", ["%s  ->  %s" % (c, e) for c, e in facts["commands"]]))
    sections.append(("Programs started", ["%s  ->  %s" % (c, e) for c, e in facts["programs"]] or ["none"]))
    created, changed, removed = facts["files"]
    for title, paths in (("Files created", created), ("Files changed", changed), ("Files removed", removed)):
        sections.append((title, grouped(paths, facts["sizes"]) or ["none"]))
    created, changed, removed = facts["registry"]
    for title, names in (("Registry created", created), ("Registry changed", changed),
                         ("Registry removed", removed)):
        sections.append((title, names or ["none"]))
    return sections


def write_report(out, facts):
    sections = sections_of(facts)
    with open(os.path.join(out, "report.txt"), "w", encoding="utf-8") as text:
        text.write("try-media: %s\n" % " ".join(facts["discs"]))
        for title, lines in sections:
            text.write("\n%s\n%s\n" % (title, "".join("  %s\n" % l for l in lines)))
    with open(os.path.join(out, "report.html"), "w", encoding="utf-8") as page:
        page.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>try-media</title>"
                   "<style>body{font-family:sans-serif} pre{background:#f4f4f4;padding:6px;white-space:pre-wrap}"
                   "figure{display:inline-block;margin:4px} img{max-width:420px;border:1px solid #888}"
                   "</style></head><body>\n")
        page.write("<h1>try-media: %s</h1>\n" % html.escape(" ".join(facts["discs"])))
        for title, lines in sections:
            page.write("<h2>%s</h2>\n" % html.escape(title))
            if title == "Pictures":
                for name in lines:
                    if name != "none":
                        page.write("<figure><img src='%s'><figcaption>%s</figcaption></figure>\n"
                                   % (html.escape(name), html.escape(name)))
            else:
                page.write("<pre>%s</pre>\n" % html.escape("\n".join(lines)))
        page.write("<p>The setup log: <a href='setup.log'>setup.log</a>; "
                   "the result: <a href='result.ini'>result.ini</a></p></body></html>\n")


def make_pictures(shots, out, seconds):
    """The pictures of the run's windows as PNG files in `out`, in order."""
    pictures = []
    for name in PICTURE_ORDER:
        bitmap = os.path.join(shots, name + ".bmp")
        if not os.path.isfile(bitmap):
            continue
        try:
            converted = subprocess.run(["convert", bitmap, os.path.join(out, name + ".png")],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       timeout=seconds).returncode == 0
        except (OSError, subprocess.TimeoutExpired):
            converted = False
        if converted:
            pictures.append(name + ".png")
    return pictures
