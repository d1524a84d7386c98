"""The report of a run: what the result file says, the files and registry
values before and after, and report.txt and report.html."""

import html
import json
import os
import re
import socket
import subprocess
import time
from xml.etree import ElementTree

from . import facts as kit_facts
from .bench import FOLLOWER, RUN_SERVICES

RESULT = kit_facts.result_file()
STATUS = kit_facts.application_statuses()

PICTURE_ORDER = ["background", "selection-dialog", "drive-dialog", "message-box", "notice",
                 "copy-progress"]
# What the bench itself changes in the registry: the CD-ROM drive's mounts,
# the display driver's keys that each start of the desktop writes anew, the
# desktop's own settings, Wine's own settings (drives, Windows version) and
# the table file the bench names for typescan's driver.
REGISTRY_NOISE = re.compile(
    r"HKEY_LOCAL_MACHINE\\System\\(MountedDevices|CurrentControlSet\\Control\\Video|"
    r"CurrentControlSet\\Control\\Class\\\{4D36E968-E325-11CE-BFC1-08002BE10318\})\\|"
    r"HKEY_(LOCAL_MACHINE|CURRENT_USER)\\Software\\(Wine|Biospeek)\\|"
    + re.escape("HKEY_LOCAL_MACHINE" + RUN_SERVICES[len("HKLM"):] + "\\" + FOLLOWER) + "$", re.I)

# The hives of a Wine prefix's registry files.
REGISTRY_FILES = (("system.reg", "HKEY_LOCAL_MACHINE"), ("user.reg", "HKEY_CURRENT_USER"))


_RESULT_ESCAPE = re.compile("|".join(re.escape(written) for written in RESULT.escapes.values()))
_RESULT_UNESCAPED = {written: character for character, written in RESULT.escapes.items()}


def unescape(value):
    """A value of the result file read back, its escapes undone. The value is
    text already (decoded from CP932), so the second byte of a double-byte
    character is no backslash here."""
    return _RESULT_ESCAPE.sub(lambda found: _RESULT_UNESCAPED[found.group(0)], value)


def run_result(facts):
    """The result file's section of the run, {} without one."""
    return facts.get("result", {}).get(RESULT.section, {})


def ended_by(result):
    """The box that ended the run and the command where it stands, from the
    run's section of the result file: ("", "") when none did."""
    return result.get(RESULT.message, ""), result.get(RESULT.failed_at, "")


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


def read_registry_files(prefix):
    """{key\\value: data} of a Wine prefix's registry as its files hold it
    (written out when the prefix's server ends or saves)."""
    entries = {}
    for name, hive in REGISTRY_FILES:
        try:
            with open(os.path.join(prefix, name), "rb") as registry:
                text = registry.read().decode("utf-8", "replace")
        except OSError:
            continue
        key, pending = None, ""
        for line in text.splitlines():
            if pending:
                line, pending = pending + line.strip(), ""
            if line.endswith("\\") and not line.endswith("\\\\"):
                pending = line[:-1]
                continue
            found = re.match(r"^\[(.*)\] \d+$", line)
            if found:
                key = hive + "\\" + unescape_registry(found.group(1))
                entries[key + "\\"] = "(key)"
            elif key and not line.startswith(("#", ";")) and "=" in line:
                value, data = parse_registry_value(line)
                entries[key + "\\" + unescape_registry(value)] = unescape_registry(data)
    return entries


REGISTRY_ESCAPE = re.compile(r"\\(x[0-9a-fA-F]{1,4}|[0-7]{1,3}|.)")
REGISTRY_CHARACTERS = {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b", "e": "\x1b",
                       "f": "\f", "v": "\v"}


def unescape_registry(text):
    """A name or value as Wine's registry files escape it: \\x30b4 for a
    character beyond ASCII (a surrogate pair: two), \\033 for a control
    character, \\\\ and \\"."""
    def character(found):
        escape = found.group(1)
        if escape[0] == "x" and len(escape) > 1:
            return chr(int(escape[1:], 16))
        if escape[0] in "01234567":
            return chr(int(escape, 8))
        return REGISTRY_CHARACTERS.get(escape, escape)
    # Characters beyond the first plane come as two escapes, a surrogate pair.
    return (REGISTRY_ESCAPE.sub(character, text).encode("utf-16-le", "surrogatepass")
            .decode("utf-16-le", "replace"))


def parse_registry_value(line):
    """(name, data) of a value line: "name"=data, or @=data for the default."""
    if line.startswith("@="):
        return "@", line[2:]
    found = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
    return (found.group(1), found.group(2)) if found else (line, "")


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


CHANGES = ("created", "changed", "removed")


def change_values(facts, files_after, registry_after):
    """{kind: {name: [how it changed, its size or data after]}} of the
    files and registry values in `facts` (compare's lists)."""
    after = {"files": lambda name: files_after.get(name, (None,))[0], "registry": registry_after.get}
    return {kind: {name: [change, after[kind](name)] for change, names in zip(CHANGES, facts[kind])
                   for name in names} for kind in ("files", "registry")}


def leave_out_churn(facts, values, baseline):
    """Takes out of the run's files and registry values those that a run
    of an empty medium changed the same way, to the same size or data
    (`baseline`: {"changes": change_values of that run}). Answers what it
    took out by kind, or {"failed": why} when there is no baseline."""
    if "changes" not in baseline:
        return {"failed": baseline.get("failed", "no baseline")}
    taken = {}
    for kind in ("files", "registry"):
        known = baseline["changes"].get(kind, {})
        churn = {name for name, value in values[kind].items() if known.get(name) == value}
        taken[kind] = sorted(churn)
        facts[kind] = [[name for name in part if name not in churn] for part in facts[kind]]
    return taken


def churn_lines(churn):
    if "failed" in churn:
        return ["the run of an empty medium could not be made (%s): nothing is left out" % churn["failed"]]
    names = churn["files"] + churn["registry"]
    return ["%d name(s) that a run of an empty medium on this prefix also changes the same way (Wine's own) "
            "are left out of the lists above%s" % (len(names), ":" if names else "")] + names


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


def restart_lines(facts):
    return ["restart %d: %s after %s; the last window before it: %s"
            % (r["number"], r["how"], r["after"], r["picture"] or "none") for r in facts.get("restarts", [])]


def sections_of(facts):
    sections = []
    outcome = ["exit code: %s (%s)" % (facts["exit"], facts["meaning"]), "time: %.1f s" % facts["seconds"]]
    if facts.get("restarts"):
        outcome.append("restarts: %d, the run followed after each to its end" % len(facts["restarts"]))
    if facts["stopped"]:
        outcome.append("stopped: the run did not end within %d s" % facts["timeout"])
    message, failed_at = ended_by(run_result(facts))
    if message or failed_at:
        outcome.append("the box that ended the run: " + message.replace("\n", " | "))
        outcome.append("at: " + failed_at)
    sections.append(("Outcome", outcome))
    sections.append(("Machine", ["%s: %s" % item for item in facts["machine"].items()]))
    foreign, windows = facts.get("foreign"), facts["machine"].get("windows")
    if windows:
        sections.append(("On a real Windows %s" % windows.upper(),
                         ["qvcheck could not say"] if foreign is None else
                         foreign or ["no path that this Windows lacks or keeps elsewhere"]))
    sections.append(("The run's own files", facts.get("own_files", []) +
                     ["both kept in the report: setup.log, result.ini"]))
    sections.append(("Restarts", restart_lines(facts) or ["none"]))
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
    if "churn" in facts:
        sections.append(("Left out", churn_lines(facts["churn"])))
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
            elif title == "Restarts" and facts.get("restarts"):
                for line, restart in zip(lines, facts["restarts"]):
                    page.write("<p>%s</p>\n" % html.escape(line))
                    if restart["picture"]:
                        page.write("<figure><img src='%s'><figcaption>the last window before restart %d"
                                   "</figcaption></figure>\n" % (html.escape(restart["picture"]), restart["number"]))
            else:
                page.write("<pre>%s</pre>\n" % html.escape("\n".join(lines)))
        page.write("<h2>The setup log</h2>\n<pre>%s</pre>\n" % html.escape(log_text(out)))
        page.write("<p>The setup log: <a href='setup.log'>setup.log</a>; "
                   "the result: <a href='result.ini'>result.ini</a></p></body></html>\n")


def log_text(out, most_lines=2000):
    """The setup log kept in the report, as text: its last `most_lines` lines."""
    try:
        with open(os.path.join(out, "setup.log"), "rb") as log:
            lines = log.read().decode("cp932", "replace").splitlines()
    except OSError:
        lines = []
    if not lines:
        return "(no log was written)"
    cut = ["(the first %d lines are left out: see setup.log)" % (len(lines) - most_lines)] \
        if len(lines) > most_lines else []
    return "\n".join(cut + lines[-most_lines:])


def picture_name(start, name):
    """The report's name of a picture of a start of qvsetup (from 1): the
    first start's as the window's kind, later ones' with their number."""
    return "%s.png" % name if start == 1 else "start%d-%s.png" % (start, name)


def make_pictures(shots, out, seconds):
    """The pictures of the run's windows as PNG files in `out`, converted
    side by side: each start of qvsetup has its bitmaps in a numbered folder
    of `shots`. Answers [(picture's name, its bitmap)] in order of the
    starts and of the kinds of windows."""
    started = []
    starts = sorted(int(name) for name in os.listdir(shots) if name.isdigit()) if os.path.isdir(shots) else []
    for start in starts:
        folder = os.path.join(shots, str(start))
        # Windows of a kind seen more than once (an attended run's boxes:
        # message-box-2, ...) come after the kinds, in the order taken.
        others = sorted((n[:-4] for n in os.listdir(folder) if n.endswith(".bmp") and n[:-4] not in PICTURE_ORDER),
                        key=lambda n: os.path.getmtime(os.path.join(folder, n + ".bmp")))
        for name in PICTURE_ORDER + others:
            bitmap = os.path.join(folder, name + ".bmp")
            if not os.path.isfile(bitmap):
                continue
            picture = picture_name(start, name)
            try:
                started.append((picture, bitmap, subprocess.Popen(["convert", bitmap, os.path.join(out, picture)],
                                                                  stdout=subprocess.DEVNULL,
                                                                  stderr=subprocess.DEVNULL)))
            except OSError:
                pass
    deadline = time.monotonic() + seconds
    pictures = []
    for picture, bitmap, conversion in started:
        try:
            converted = conversion.wait(max(deadline - time.monotonic(), 1)) == 0
        except subprocess.TimeoutExpired:
            conversion.kill()
            conversion.wait()
            converted = False
        if converted:
            pictures.append((picture, bitmap))
    return pictures


def last_picture(pictures, start=None):
    """Of the pictures made (of one start of qvsetup, when `start` is given),
    the one taken last (its bitmap's time), or None."""
    if start is not None:
        pictures = [p for p in pictures if p[1].split(os.sep)[-2] == str(start)]
    return max(pictures, key=lambda p: os.path.getmtime(p[1]))[0] if pictures else None


def write_facts(out, facts):
    """report.json: the facts a matrix of trials compares."""
    kept = {key: facts[key] for key in ("discs", "machine", "exit", "meaning", "installed", "seconds", "stopped",
                                        "result", "chosen", "commands", "programs", "pictures", "last_picture",
                                        "swaps", "restarts")}
    created, changed, removed = facts["files"]
    kept["files"] = {"created": created, "changed": changed, "removed": removed}
    created, changed, removed = facts["registry"]
    kept["registry"] = {"created": created, "changed": changed, "removed": removed}
    if "churn" in facts:
        kept["baseline"] = "failed: " + facts["churn"]["failed"] if "failed" in facts["churn"] else "used"
    with open(os.path.join(out, "report.json"), "w", encoding="utf-8") as data:
        json.dump(kept, data, ensure_ascii=False, indent=1)


def junit_suite(name, facts, installed):
    """One JUnit test suite of a trial: a test case for the run itself, and
    one for each application offered (its status and time; a failure with
    the box's text and the failing command's place)."""
    suite = new_junit_suite(name)
    message, failed_at = ended_by(run_result(facts))
    run = ElementTree.SubElement(suite, "testcase", classname=name, name="the run",
                                 time="%.1f" % facts["seconds"])
    if not installed:
        failure = ElementTree.SubElement(run, "failure", type="exit code %s" % facts["exit"],
                                         message="exit code %s: %s" % (facts["exit"], facts["meaning"]))
        failure.text = "\n".join(filter(None, [message, failed_at]))
    for section, values in facts["result"].items():
        if section == RESULT.section:
            continue
        case = ElementTree.SubElement(suite, "testcase", classname=name, name=section,
                                      time=values.get(RESULT.seconds, "0"))
        status = values.get(RESULT.status, "")
        if status == STATUS.failed:
            failure = ElementTree.SubElement(case, "failure", type=status, message=message.replace("\n", " | "))
            failure.text = failed_at
        elif status in (STATUS.paused, STATUS.running):
            ElementTree.SubElement(case, "failure", type=status,
                                   message="the run never came back to finish it: %s" % facts["meaning"])
        elif status in (STATUS.not_chosen, STATUS.not_reached, STATUS.not_offered, STATUS.model_unread):
            ElementTree.SubElement(case, "skipped", message=status)
    count_junit_cases(suite, facts["seconds"])
    return suite


def new_junit_suite(name):
    """An empty JUnit test suite with the attributes every reader wants."""
    return ElementTree.Element("testsuite", name=name, hostname=socket.gethostname(),
                               timestamp=time.strftime("%Y-%m-%dT%H:%M:%S"))


def count_junit_cases(suite, seconds):
    """Sets a suite's counts from its test cases, and its time."""
    cases = suite.findall("testcase")
    suite.set("tests", str(len(cases)))
    suite.set("failures", str(sum(1 for c in cases if c.find("failure") is not None)))
    suite.set("errors", "0")
    suite.set("skipped", str(sum(1 for c in cases if c.find("skipped") is not None)))
    suite.set("time", "%.1f" % seconds)


def write_junit(path, suites):
    """A JUnit XML file of test suites, which Jenkins, GitLab and others show."""
    root = ElementTree.Element("testsuites")
    for suite in suites:
        root.append(suite)
    for field in ("tests", "failures", "errors", "skipped"):
        root.set(field, str(sum(int(s.get(field)) for s in suites)))
    ElementTree.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)
