#!/usr/bin/env python3
"""Runs that go on after a restart and after power cuts (RESUME=YES), in a
Wine prefix of its own (a copy of the bench prefix). A restart is the end of
the Wine session (ExitWindowsEx, or wineserver -k as a power cut), and the
next Wine process starts a new session whose wineboot runs the machine's
RunOnce entries, qvsetup among them, and waits for them.

The medium: three applications, COPY and a PROG; SHUTDOWN and a PROG; XCOPYA
of a tree and a PROG. Each PROG appends "NAME start" and "NAME end" to
NOTES.TXT. Cases: the medium without RESUME (as before, no journal); with
it, unattended under Restart=NO and the line's own restart; starts before
that restart (the disc gone; Resume=NO); an interactive SHUTDOWN that
restarts; and power cuts spread over a run.

Usage: resume_test.py BENCH_DIR BUILD_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN_SECONDS = 180           # the longest any one start of the run may take
CUTS = 20
RUNONCE = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
PROGRAMS = ["A", "B", "C"]
FOLDERS, FILES_A_FOLDER = 3, 100      # the tree XCOPYA copies: long enough to be cut in
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what)


class Prefix:
    """A copy of the bench prefix, with the medium on its C: drive."""

    def __init__(self, bench, build, work):
        script = 'source "%s/tools/bench-env.sh" "%s" && env -0' % (ROOT, bench)
        listing = subprocess.run(["bash", "-c", script], capture_output=True, timeout=60).stdout
        self.env = dict(e.split("=", 1) for e in listing.decode().split("\0") if "=" in e)
        display = os.path.join(bench, "display")
        if "DISPLAY" not in self.env and os.path.isfile(display):
            self.env["DISPLAY"] = open(display).read().strip()
        self.path = os.path.join(work, "prefix")
        shutil.copytree(self.env["WINEPREFIX"], self.path, symlinks=True)
        self.env["WINEPREFIX"] = self.path
        self.c = os.path.join(self.path, "drive_c")
        self.build = build

    def wine(self, arguments, extra=None, seconds=RUN_SECONDS, background=False):
        env = dict(self.env, **(extra or {}))
        process = subprocess.Popen(["wine"] + arguments, env=env, cwd=self.c, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if background:
            return process
        try:
            return process.wait(seconds)
        except subprocess.TimeoutExpired:
            process.kill()
            return None

    def cut_power(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)
        time.sleep(0.5)

    def start_windows(self, background=False):
        """A new session: wineboot runs RunOnce (and waits for it)."""
        return self.wine(["cmd", "/c", "exit"], background=background)

    def run_once_entry(self):
        # The answer goes through a file: Wine's servers would hold a pipe open.
        with tempfile.TemporaryFile() as said:
            subprocess.run(["wine", "reg", "query", RUNONCE], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=said, stderr=subprocess.DEVNULL, timeout=60)
            said.seek(0)
            return b"QVSETUP" in said.read()

    def journal_files(self):
        return [n for n in os.listdir(os.path.join(self.c, "windows")) if n.upper().startswith("QVSETUP.JN")]

    def end(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)


def write_medium(prefix, resume):
    media = os.path.join(prefix.c, "MEDIA")
    shutil.rmtree(media, ignore_errors=True)
    for folder in range(FOLDERS):
        sub = os.path.join(media, "DATA", "SUB%d" % folder)
        os.makedirs(sub)
        for number in range(FILES_A_FOLDER):
            with open(os.path.join(sub, "F%02d.TXT" % number), "w") as data:
                data.write("file %d of folder %d\n" % (number, folder))
    shutil.copyfile(os.path.join(prefix.build, "qvsetup.exe"), os.path.join(media, "QVSETUP.EXE"))
    shutil.copyfile(os.path.join(prefix.build, "stamp.exe"), os.path.join(prefix.c, "STAMP.EXE"))
    with open(os.path.join(media, "README.TXT"), "w") as readme:
        readme.write("read me\n")
    config = "RESUME=YES\r\n" if resume else ""
    write(os.path.join(media, "QVSETUP.INF"),
          "[QvSetupConfig]\r\nSTYLE=MULTI\r\n%sLOG=C:\\OUT\\SETUP.LOG\r\n[Priority]\r\nQVA.INF\r\nQVB.INF\r\nQVC.INF\r\n" % config)
    stamp = 'PROG,"C:\\STAMP.EXE C:\\OUT\\NOTES.TXT %s 1200"'
    apps = {"QVA.INF": ["COPY,C:\\MEDIA\\README.TXT,C:\\OUT\\README.TXT", stamp % "A"],
            "QVB.INF": ["SHUTDOWN,,1", stamp % "B"],
            "QVC.INF": ["XCOPYA,C:\\MEDIA\\DATA,C:\\OUT\\DATA", stamp % "C"]}
    for name, lines in apps.items():
        write(os.path.join(media, name), "[Version]\r\nsignature=$QVSETUP$\r\nDefault=YES\r\n[Strings]\r\n"
              "TITLE=%s\r\n[Install]\r\n%s\r\n" % (name[2], "\r\n".join(lines)))
    out = os.path.join(prefix.c, "OUT")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)


def write(path, text):
    with open(path, "wb") as file:
        file.write(text.encode("cp932"))


def answers(prefix, restart, more="", select="ALL"):
    write(os.path.join(prefix.c, "ANSWERS.INI"), "[Unattended]\r\nSelect=%s\r\nRestart=%s\r\n"
          "Result=C:\\OUT\\RESULT.INI\r\n%s" % (select, "YES" if restart else "NO", more))
    return {"QVSETUP_ANSWERS": "C:\\ANSWERS.INI"}


def read(path):
    try:
        with open(path, "rb") as file:
            return file.read().decode("cp932", "replace")
    except OSError:
        return ""


def installed(prefix):
    """{path: contents} of what the run left in C:\\OUT, its own files aside."""
    out = os.path.join(prefix.c, "OUT")
    tree = {}
    for folder, _, names in os.walk(out):
        for name in names:
            path = os.path.relpath(os.path.join(folder, name), out)
            if path not in ("NOTES.TXT", "SETUP.LOG", "RESULT.INI"):
                tree[path] = read(os.path.join(folder, name))
    return tree


def starts(prefix):
    notes = read(os.path.join(prefix.c, "OUT", "NOTES.TXT"))
    return {name: len(re.findall(r"^%s start" % name, notes, re.M)) for name in PROGRAMS}


def result_code(prefix):
    found = re.search(r"^ExitCode=(.*)$", read(os.path.join(prefix.c, "OUT", "RESULT.INI")), re.M)
    return found.group(1).strip() if found else None


def run_unattended(prefix, restart, background=False, more="", select="ALL"):
    return prefix.wine(["C:\\MEDIA\\QVSETUP.EXE", "C:\\MEDIA"], answers(prefix, restart, more, select),
                       background=background)


def left_nothing(prefix, case):
    check(not prefix.journal_files(), "%s: a journal is left: %s" % (case, prefix.journal_files()))
    check(not prefix.run_once_entry(), "%s: the RunOnce entry is left" % case)


def without_resume(prefix):
    write_medium(prefix, resume=False)
    code = run_unattended(prefix, restart=False)
    check(code == 10, "without RESUME: exit code %s, not 10" % code)
    check(starts(prefix) == {"A": 1, "B": 0, "C": 0}, "without RESUME: programs %s" % starts(prefix))
    left_nothing(prefix, "without RESUME")


def unattended_restart_no(prefix):
    write_medium(prefix, resume=True)
    code = run_unattended(prefix, restart=False)
    check(code == 10, "Restart=NO: exit code %s, not 10" % code)
    check(result_code(prefix) == "10", "Restart=NO: result %s, not 10" % result_code(prefix))
    check(len(prefix.journal_files()) == 2, "Restart=NO: no journal kept")
    check(prefix.run_once_entry(), "Restart=NO: the run is not registered to go on")
    prefix.cut_power()
    prefix.start_windows()
    check(result_code(prefix) == "0", "Restart=NO, after the restart: result %s, not 0" % result_code(prefix))
    check(starts(prefix) == {"A": 1, "B": 1, "C": 1}, "Restart=NO: programs %s" % starts(prefix))
    left_nothing(prefix, "Restart=NO")
    return installed(prefix)


def other_starts(prefix):
    """A start of the interrupted run's medium before Windows restarted:
    without its disc it waits DiscWait and keeps the journal; with
    Resume=NO it gives the journal up and runs anew."""
    write_medium(prefix, resume=True)
    check(run_unattended(prefix, restart=False) == 10, "other starts: the run did not stop at SHUTDOWN")
    master = os.path.join(prefix.c, "MEDIA", "QVSETUP.INF")
    os.rename(master, master + ".GONE")
    code = run_unattended(prefix, restart=False, more="DiscWait=2\r\n")
    os.rename(master + ".GONE", master)
    check(code == 4, "other starts, the disc gone: exit code %s, not 4" % code)
    check(len(prefix.journal_files()) == 2, "other starts, the disc gone: the journal was not kept")
    code = run_unattended(prefix, restart=False, more="Resume=NO\r\n")
    check(code == 10 and starts(prefix)["A"] == 2,
          "other starts, Resume=NO: exit code %s, programs %s: no new run" % (code, starts(prefix)))
    # The new run's journal goes: a run to its end without the restart.
    check(run_unattended(prefix, restart=False, more="Resume=NO\r\n", select="QVA.INF") == 0,
          "other starts: a last run without SHUTDOWN did not end with 0")
    left_nothing(prefix, "other starts")


def interactive(prefix, expected):
    write_medium(prefix, resume=True)
    demo = "C:\\DEMO.EXE"
    shutil.copyfile(os.path.join(prefix.build, "demo_driver.exe"), os.path.join(prefix.c, "DEMO.EXE"))
    # SHUTDOWN ends the session; Wine starts it again at once and runs
    # RunOnce, or the next Wine process does.
    prefix.wine([demo, "install", "C:\\MEDIA\\QVSETUP.EXE", "C:\\MEDIA"])
    run_to_the_end(prefix, 0)
    log = read(os.path.join(prefix.c, "OUT", "SETUP.LOG"))
    restart = log.find("Windows is about to restart")
    check(restart >= 0 and "the choice of the interrupted run is taken from its journal" in log[restart:],
          "interactive: the run did not go on after the restart with its journal's choice")
    check(starts(prefix) == {"A": 1, "B": 1, "C": 1}, "interactive: programs %s" % starts(prefix))
    check(installed(prefix) == expected, "interactive: the files differ from a run without restarts")
    left_nothing(prefix, "interactive")


def running_programs(log):
    """The programs whose command had started and not ended by the log's
    last line: a cut then may run them again."""
    started = None
    for line in log.splitlines():
        found = re.search(r"command PROG .*NOTES\.TXT (\w) ", line)
        if found:
            started = found.group(1)
        elif "PROG's program ended" in line:
            started = None
    return {started} if started else set()


def started(name):
    return r'NOTES\.TXT %s 1200" ""' % name


def ended(name):
    return started(name) + r"\r?\n[^\n]*PROG's program ended"


RESUMED_START = "goes on where it stood"
# Where the power may be cut, in the order the run meets them: a pattern of
# the session's log, and how long after it appeared. Every command is cut
# while it runs and after it ended, and a resumed start while it shows its
# notice. A few points the run may pass before a cut comes (SHUTDOWN and
# the run's end are over in a moment): CUTS of them are cut at least.
CUT_POINTS = [
    ("the run keeps a journal", 0.0), ("command COPY", 0.0),
    (started("A"), 0.3), (started("A"), 0.9), (ended("A"), 0.0),
    (RESUMED_START, 1.0), ("command SHUTDOWN", 0.0),
    (RESUMED_START, 0.5), (started("B"), 0.2), (started("B"), 1.0), (ended("B"), 0.0),
    (RESUMED_START, 2.0), ("command XCOPYA", 0.3), ("command XCOPYA", 0.7), ("command XCOPYA", 1.2),
    ("command XCOPYA", 1.7), ("command XCOPYA", 2.2), ("command XCOPYA", 2.6), ("command XCOPYA", 3.0), ("XCOPYA done", 0.0), (RESUMED_START, 2.5),
    (started("C"), 0.1), (started("C"), 0.5), (started("C"), 0.8), (started("C"), 1.1),
    (ended("C"), 0.0),
]


def next_cut_point(prefix, since, first, seconds=30):
    """The first of the cut points from `first` on that the log shows after
    byte `since` (those before it the run has passed; a resumed start counts
    only as the very next point, since every start is one), within
    `seconds`; None when none comes."""
    path = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        text = read(path)[since:]
        for index in range(first, len(CUT_POINTS)):
            pattern = CUT_POINTS[index][0]
            if (pattern != RESUMED_START or index == first) and re.search(pattern, text):
                return index
        time.sleep(0.02)
    return None


def wait_for_line(prefix, since, text, seconds=30):
    """Waits until the log has `text` after byte `since`; true when it came."""
    path = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if text in read(path)[since:]:
            return True
        time.sleep(0.02)
    return False


def run_to_the_end(prefix, since):
    """Lets the run go on to its end, starting Windows again whenever a
    session ended with the run's journal still there."""
    log = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    for _ in range(4):
        if wait_for_line(prefix, since, "the journal is removed", 90) or not prefix.journal_files():
            break
        prefix.cut_power()
        since = len(read(log))
        prefix.start_windows(background=True)
    prefix.cut_power()


def power_cuts(prefix, expected):
    write_medium(prefix, resume=True)
    log = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    allowed = {name: 1 for name in PROGRAMS}
    cuts = 0
    since = 0
    run_unattended(prefix, restart=True, background=True)
    point = 0
    while point < len(CUT_POINTS):
        found = next_cut_point(prefix, since, point)
        if found is None or "the journal is removed" in read(log)[since:]:
            break
        time.sleep(CUT_POINTS[found][1])
        prefix.cut_power()
        cuts += 1
        point = found + 1
        for name in running_programs(read(log)):
            allowed[name] += 1
        prefix.cut_power()
        since = len(read(log))
        prefix.start_windows(background=True)
    run_to_the_end(prefix, since)
    ran = starts(prefix)
    print("power cuts: %d cuts; programs started %s, allowed at most %s" % (cuts, ran, allowed))
    check(cuts >= CUTS, "power cuts: only %d cuts, not %d" % (cuts, CUTS))
    check(all(1 <= ran[name] <= allowed[name] for name in PROGRAMS),
          "power cuts: a program whose command had ended ran again: %s (allowed %s)" % (ran, allowed))
    check(installed(prefix) == expected, "power cuts: the files differ from a run without cuts")
    check(result_code(prefix) == "0", "power cuts: result %s, not 0" % result_code(prefix))
    left_nothing(prefix, "power cuts")


def main():
    if len(sys.argv) != 3:
        print("usage: resume_test.py BENCH_DIR BUILD_DIR", file=sys.stderr)
        return 2
    work = tempfile.mkdtemp(prefix="resume-test.")
    prefix = None
    try:
        prefix = Prefix(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), work)
        without_resume(prefix)
        expected = unattended_restart_no(prefix)
        wanted = FOLDERS * FILES_A_FOLDER + 1
        check(len(expected) == wanted, "the run without cuts installed %d files, not %d" % (len(expected), wanted))
        other_starts(prefix)
        interactive(prefix, expected)
        power_cuts(prefix, expected)
    finally:
        if prefix:
            prefix.end()
        shutil.rmtree(work, ignore_errors=True)
    print("resume: every case as expected" if not failures else "resume: %d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
