#!/usr/bin/env python3
"""Runs that go on after a restart and after power cuts (RESUME=YES), in a
Wine prefix of its own (a copy of the bench prefix). A restart is the end of
the Wine session (ExitWindowsEx, or wineserver -k as a power cut), and the
next Wine process starts a new session whose wineboot runs the machine's
RunOnce entries, qvsetup among them, and waits for them.

The medium: three applications, COPY and a PROG; SHUTDOWN and a PROG; XCOPYA
of a tree and a PROG. Each PROG appends "NAME start" and "NAME end" to
NOTES.TXT. Cases: the medium without RESUME (as before, no journal); with
it, unattended under Restart=NO (the application with the SHUTDOWN paused)
and the line's own restart; starts before that restart (the disc gone;
Resume=NO); an interactive SHUTDOWN that restarts; a program that ends the
session itself; a start after the restart without the media folder, and
other media then; power cuts spread over a run; and power cuts that kill
the wineserver, losing what it had not saved of the registry
(QV_HARD_CUTS of them, default 6).

Usage: resume_test.py BENCH_DIR BUILD_DIR
"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN_SECONDS = 180           # the longest any one start of the run may take
CUTS = 20
HARD_CUTS = int(os.environ.get("QV_HARD_CUTS", "6"))
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

    def cut_power_hard(self):
        """A power cut that loses what Wine had not saved of the registry
        (as a PC loses what it had not flushed of its hives): the wineserver
        is killed, then every program of the prefix (Wine's own services
        would outlive their server)."""
        for servers in (True, False):
            for pid in self.processes(servers):
                try:
                    os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass
        deadline = time.monotonic() + 10
        while self.processes() and time.monotonic() < deadline:
            time.sleep(0.1)

    def processes(self, servers=False):
        """The Linux processes of this prefix (with `servers`, its wineserver)."""
        mark = ("WINEPREFIX=%s\0" % self.path).encode()
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as environ:
                    ours = mark in environ.read() + b"\0"
                with open("/proc/%s/comm" % pid) as comm:
                    server = comm.read().startswith("wineserver")
            except OSError:
                continue
            if ours and (server or not servers) and os.path.exists("/proc/%s/exe" % pid):
                found.append(int(pid))
        return found

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

    def journal_held(self):
        """The copies that hold a run: the end empties each copy before it
        takes the entry away and removes them, and a cut in between leaves
        empty copies, which hold none."""
        windows = os.path.join(self.c, "windows")
        held = []
        for name in self.journal_files():
            try:
                if os.path.getsize(os.path.join(windows, name)) > 0:
                    held.append(name)
            except FileNotFoundError:
                pass   # removed meanwhile: it holds nothing
        return held

    def end(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30)


STAMP = 'PROG,"C:\\STAMP.EXE C:\\OUT\\NOTES.TXT %s 1200"'
MEDIUM = {"QVA.INF": ["COPY,C:\\MEDIA\\README.TXT,C:\\OUT\\README.TXT", STAMP % "A"],
          "QVB.INF": ["SHUTDOWN,,1", STAMP % "B"],
          "QVC.INF": ["XCOPYA,C:\\MEDIA\\DATA,C:\\OUT\\DATA", STAMP % "C"]}


def write_medium(prefix, resume, apps=None, folder="MEDIA", data=True):
    """A medium in C:\\FOLDER: three applications (or `apps`, {INF: lines}),
    each in [Priority] order, and the tree XCOPYA copies."""
    apps = apps or MEDIUM
    media = os.path.join(prefix.c, folder)
    shutil.rmtree(media, ignore_errors=True)
    os.makedirs(media)
    for number in range(FOLDERS if data else 0):
        sub = os.path.join(media, "DATA", "SUB%d" % number)
        os.makedirs(sub)
        for file in range(FILES_A_FOLDER):
            with open(os.path.join(sub, "F%02d.TXT" % file), "w") as written:
                written.write("file %d of folder %d\n" % (file, number))
    shutil.copyfile(os.path.join(prefix.build, "qvsetup.exe"), os.path.join(media, "QVSETUP.EXE"))
    shutil.copyfile(os.path.join(prefix.build, "stamp.exe"), os.path.join(prefix.c, "STAMP.EXE"))
    with open(os.path.join(media, "README.TXT"), "w") as readme:
        readme.write("read me\n")
    config = "RESUME=YES\r\n" if resume else ""
    write(os.path.join(media, "QVSETUP.INF"),
          "[QvSetupConfig]\r\nSTYLE=MULTI\r\n%sLOG=C:\\OUT\\SETUP.LOG\r\n[Priority]\r\n%s\r\n"
          % (config, "\r\n".join(sorted(apps))))
    for name, lines in apps.items():
        write(os.path.join(media, name), "[Version]\r\nsignature=$QVSETUP$\r\nDefault=YES\r\n[Strings]\r\n"
              "TITLE=%s\r\n[Install]\r\n%s\r\n" % (name[2], "\r\n".join(lines)))
    if folder == "MEDIA":
        out = os.path.join(prefix.c, "OUT")
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)


def write(path, text):
    with open(path, "wb") as file:
        file.write(text.encode("cp932"))


def answers(prefix, restart, more="", select="ALL", name="ANSWERS", result="RESULT"):
    write(os.path.join(prefix.c, name + ".INI"), "[Unattended]\r\nSelect=%s\r\nRestart=%s\r\n"
          "Result=C:\\OUT\\%s.INI\r\n%s" % (select, "YES" if restart else "NO", result, more))
    return {"QVSETUP_ANSWERS": "C:\\%s.INI" % name}


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


def result_value(prefix, section, key, name="RESULT"):
    """A value of the result file, escapes as written; None when it is not there."""
    text, found = read(os.path.join(prefix.c, "OUT", name + ".INI")), None
    part = re.search(r"^\[%s\]\r?$(.*?)(?=^\[|\Z)" % re.escape(section), text, re.M | re.S)
    if part:
        found = re.search(r"^%s=(.*?)\r?$" % key, part.group(1), re.M)
    return found.group(1) if found else None


def result_code(prefix):
    return result_value(prefix, "Result", "ExitCode")


def run_unattended(prefix, restart, background=False, more="", select="ALL", program="C:\\MEDIA\\QVSETUP.EXE"):
    return prefix.wine([program, "C:\\MEDIA"], answers(prefix, restart, more, select), background=background)


def left_nothing(prefix, case, cut=False):
    # A run that was cut may have been cut while its end emptied the copies.
    held = prefix.journal_held() if cut else prefix.journal_files()
    check(not held, "%s: a journal is left: %s" % (case, held))
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
    statuses = [result_value(prefix, name, "Status") for name in ("QVA.INF", "QVB.INF", "QVC.INF")]
    check(statuses == ["done", "paused", "not reached"], "Restart=NO: statuses %s" % statuses)
    reason = result_value(prefix, "Result", "Reason") or ""
    check("goes on after the restart" in reason, "Restart=NO: Reason %r" % reason)
    check(len(prefix.journal_files()) == 2, "Restart=NO: no journal kept")
    check(prefix.run_once_entry(), "Restart=NO: the run is not registered to go on")
    prefix.cut_power()
    prefix.start_windows()
    check(result_code(prefix) == "0", "Restart=NO, after the restart: result %s, not 0" % result_code(prefix))
    check(result_value(prefix, "QVB.INF", "Status") == "done", "Restart=NO: QVB.INF not done after the restart")
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


def program_restarts_windows(prefix):
    """A program that ends the session when it is done (a driver installer
    that restarts Windows): the run notes it as ended, and goes on after the
    restart with the next command, once; Wine's end of the session starts
    RunOnce at once."""
    restarter = 'PROG,"cmd.exe /c C:\\STAMP.EXE C:\\OUT\\NOTES.TXT R 1200 & wineboot.exe -e"'
    write_medium(prefix, resume=True, apps={"QVR.INF": [restarter, STAMP % "S"]}, data=False)
    run_unattended(prefix, restart=False)
    run_to_the_end(prefix, 0)
    notes = read(os.path.join(prefix.c, "OUT", "NOTES.TXT"))
    ran = [len(re.findall(r"^%s start" % name, notes, re.M)) for name in "RS"]
    check(ran == [1, 1], "a program that restarts Windows: started %s times, the next one %s" % tuple(ran))
    check(result_code(prefix) == "0", "a program that restarts Windows: result %s" % result_code(prefix))
    check("its restart, taken as its end" in read(os.path.join(prefix.c, "OUT", "SETUP.LOG")),
          "a program that restarts Windows: not logged as its restart")
    left_nothing(prefix, "a program that restarts Windows")


def unfinished_elsewhere(prefix):
    """qvsetup on the hard disk, its media folder gone when Windows starts
    again: that start waits DiscWait, ends with 4 and registers the run
    again; other media end with 7 naming the unfinished run's folder; the
    folder back, the next start of Windows finishes the run. Other media
    with Resume=NO give an unfinished run up and run."""
    write_medium(prefix, resume=True)
    write_medium(prefix, resume=False, apps={"QVO.INF": [STAMP % "O"]}, folder="OTHER", data=False)
    shutil.copyfile(os.path.join(prefix.build, "qvsetup.exe"), os.path.join(prefix.c, "QVSETUP.EXE"))
    more = "DiscWait=2\r\n"
    code = run_unattended(prefix, restart=False, more=more, program="C:\\QVSETUP.EXE")
    check(code == 10, "unfinished elsewhere: exit code %s, not 10" % code)
    media = os.path.join(prefix.c, "MEDIA")
    os.rename(media, media + ".GONE")
    prefix.cut_power()
    prefix.start_windows()
    check(result_code(prefix) == "4", "the media gone at the restart: result %s, not 4" % result_code(prefix))
    check(len(prefix.journal_files()) == 2, "the media gone at the restart: the journal was not kept")
    check(prefix.run_once_entry(), "the media gone at the restart: the run is not registered again")
    other = answers(prefix, False, name="OTHER", result="OTHER")
    code = prefix.wine(["C:\\OTHER\\QVSETUP.EXE", "C:\\OTHER"], other)
    reason = result_value(prefix, "Result", "Reason", "OTHER") or ""
    message = result_value(prefix, "Result", "Message", "OTHER") or ""
    check(code == 7 and "C:\\\\MEDIA" in reason and "C:\\\\MEDIA" in message and "running" not in reason,
          "other media: exit code %s, Reason %r, Message %r" % (code, reason, message))
    os.rename(media + ".GONE", media)
    prefix.cut_power()
    prefix.start_windows()
    check(result_code(prefix) == "0", "the media back: result %s, not 0" % result_code(prefix))
    check(starts(prefix) == {"A": 1, "B": 1, "C": 1}, "the media back: programs %s" % starts(prefix))
    left_nothing(prefix, "the media back")
    check(run_unattended(prefix, restart=False, more=more) == 10, "Resume=NO: the run did not stop for a restart")
    other = answers(prefix, False, more="Resume=NO\r\n", name="OTHER", result="OTHER")
    code = prefix.wine(["C:\\OTHER\\QVSETUP.EXE", "C:\\OTHER"], other)
    check(code == 0 and "O start" in read(os.path.join(prefix.c, "OUT", "NOTES.TXT")),
          "other media with Resume=NO: exit code %s" % code)
    left_nothing(prefix, "other media with Resume=NO")
    os.remove(os.path.join(prefix.c, "QVSETUP.EXE"))


def guards(prefix):
    """What ends a resumed run at once: a program cut off while it ran a
    fourth time in a row (one that resets the PC each time) gives the run
    up with exit code 3 and the program named; an application INF changed
    between the restart and the start that goes on, exit code 2; and a
    RunOnce entry whose run had ended (its removal lost with the power)
    starts a qvsetup that runs nothing and leaves the result alone."""
    write_medium(prefix, resume=True, apps={"QVR.INF": [STAMP % "R"]}, data=False)
    log = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    run_unattended(prefix, restart=False, background=True)
    for cut in range(4):
        since = len(read(log))
        check(wait_for_line(prefix, since if cut else 0, started("R").replace("\\", ""), 60),
              "cut off four times: the program did not start before cut %d" % (cut + 1))
        prefix.cut_power()
        prefix.start_windows(background=True)
    wait_for_line(prefix, since, "qvsetup ends with exit code", 90)
    prefix.cut_power()
    reason = result_value(prefix, "Result", "Reason") or ""
    check(result_code(prefix) == "3" and "QVR.INF line" in reason and "4 times" in reason,
          "cut off four times: result %s, Reason %r" % (result_code(prefix), reason))
    check(result_value(prefix, "QVR.INF", "Status") == "failed", "cut off four times: the application not failed")
    check("QVR.INF" in (result_value(prefix, "Result", "FailedAt") or ""),
          "cut off four times: FailedAt names no command")
    left_nothing(prefix, "cut off four times", cut=True)

    write_medium(prefix, resume=True)
    check(run_unattended(prefix, restart=False) == 10, "a changed INF: the run did not stop for a restart")
    # The same size and time, one byte changed: known by the bytes.
    changed = os.path.join(prefix.c, "MEDIA", "QVC.INF")
    times = os.stat(changed)
    with open(changed, "rb") as inf:
        text = inf.read()
    with open(changed, "wb") as inf:
        inf.write(text.replace(b"TITLE=C", b"TITLE=D"))
    os.utime(changed, ns=(times.st_atime_ns, times.st_mtime_ns))
    prefix.cut_power()
    prefix.start_windows()
    message = result_value(prefix, "Result", "Message") or ""
    check(result_code(prefix) == "2" and "QVC.INF" in message,
          "a changed INF: result %s, Message %r" % (result_code(prefix), message))
    left_nothing(prefix, "a changed INF")

    write(os.path.join(prefix.c, "OUT", "RESULT.INI"), "[Result]\r\nExitCode=3\r\n")
    # The copies of an ended run's journal, emptied before its entry went.
    for name in ("QVSETUP.JN1", "QVSETUP.JN2"):
        open(os.path.join(prefix.c, "windows", name), "wb").close()
    subprocess.run(["wine", "reg", "add", RUNONCE, "/v", "QVSETUP", "/d",
                    '"C:\\MEDIA\\QVSETUP.EXE" /RESUME C:\\MEDIA', "/f"], env=prefix.env,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    prefix.cut_power()
    since = len(read(log))
    prefix.start_windows()
    check("no run has a journal: nothing runs" in read(log)[since:], "a leftover entry: its start did not say so")
    check(result_code(prefix) == "3", "a leftover entry: the result was written over")
    for name in ("QVSETUP.JN1", "QVSETUP.JN2"):
        os.remove(os.path.join(prefix.c, "windows", name))
    left_nothing(prefix, "a leftover entry")


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
# the run's end are over in a moment): CUTS of them are cut at least. A
# program is cut off at most three times in a row (a cut after the command
# before it ended may find it started already): a fourth would give the run
# up, as a program that resets the PC each time it runs does.
CUT_POINTS = [
    ("the run keeps a journal", 0.0), ("command COPY", 0.0),
    (started("A"), 0.3), (started("A"), 0.9), (ended("A"), 0.0),
    (RESUMED_START, 1.0), ("command SHUTDOWN", 0.0),
    (RESUMED_START, 0.5), (started("B"), 0.2), (started("B"), 1.0), (ended("B"), 0.0),
    (RESUMED_START, 2.0), ("command XCOPYA", 0.3), ("command XCOPYA", 0.7), ("command XCOPYA", 1.2),
    ("command XCOPYA", 1.7), ("command XCOPYA", 2.2), ("command XCOPYA", 2.6), ("command XCOPYA", 3.0), ("XCOPYA done", 0.0), (RESUMED_START, 2.5),
    (RESUMED_START, 1.5), (started("C"), 0.2), (started("C"), 0.9), (ended("C"), 0.0),
]


def next_cut_point(prefix, since, first, seconds=60):
    """The first of the cut points from `first` on that the log shows after
    byte `since` (those before it the run has passed; a resumed start counts
    only as the very next point, since every start is one), within
    `seconds`; None when none comes. A start of Windows on a loaded bench
    has taken over 30 s."""
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


def next_session(prefix, since):
    """Starts Windows again: its RunOnce entry starts qvsetup, or, where the
    entry was lost with the power, the medium is started by hand once the
    start of Windows is over. Answers whether it was started by hand."""
    log = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    boot = prefix.start_windows(background=True)
    deadline = time.monotonic() + RUN_SECONDS
    while time.monotonic() < deadline:
        if "started on Windows" in read(log)[since:]:
            return False
        if boot.poll() is not None:
            break
        time.sleep(0.05)
    if not prefix.journal_held():
        return False
    prefix.wine(["C:\\MEDIA\\QVSETUP.EXE", "C:\\MEDIA"], background=True)
    return True


def run_to_the_end(prefix, since):
    """Lets the run go on to its end, starting Windows again whenever a
    session ended with the run's journal still there; answers how often
    the medium had to be started by hand."""
    log = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    by_hand = 0
    for _ in range(4):
        if wait_for_line(prefix, since, "the journal is removed", 90) or not prefix.journal_held():
            break
        prefix.cut_power()
        since = len(read(log))
        by_hand += next_session(prefix, since)
    prefix.cut_power()
    return by_hand


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
    left_nothing(prefix, "power cuts", cut=True)


def hard_power_cuts(prefix, expected, cuts):
    """Power cuts at random moments that kill the wineserver: the registry
    keeps only what Wine had saved, so a RunOnce entry may be lost (the
    medium is then started by hand) or its removal may be (the entry then
    starts a qvsetup that finds no journal). Every run ends, to the same
    files. A program is cut off at most three times in a row (a fourth
    would give the run up, as for a program that resets the PC)."""
    write_medium(prefix, resume=True)
    # The registry as the cases before left it is written out first: a cut
    # then loses this run's RunOnce entry, not an earlier run's removal.
    prefix.cut_power()
    log = os.path.join(prefix.c, "OUT", "SETUP.LOG")
    seed = random.randrange(1 << 30)
    chance = random.Random(seed)
    allowed = {name: 1 for name in PROGRAMS}
    done = by_hand = since = 0
    streak = (None, 0)
    run_unattended(prefix, restart=True, background=True)
    wait_for_line(prefix, 0, "the run keeps a journal", 60)
    deadline = time.monotonic() + RUN_SECONDS + cuts * 30
    while done < cuts and prefix.journal_held() and time.monotonic() < deadline:
        wait_for_line(prefix, since, "started on Windows", 60)
        # The first three cuts come early in their start, so that a run that
        # gets far in each start is still cut three times before its end.
        time.sleep(chance.uniform(0.2, 6.0 if done >= 3 else 2.0))
        running = running_programs(read(log))
        name = next(iter(running), None)
        # A cut the log could not tell yet may have cut the program off once more.
        if name and streak[0] == name and streak[1] >= 2:
            wait_for_line(prefix, since, "ended after", 30)
            continue
        if "the journal is removed" in read(log)[since:]:
            break
        prefix.cut_power_hard()
        done += 1
        if name:
            streak = (name, streak[1] + 1 if streak[0] == name else 1)
        for each in running_programs(read(log)):
            allowed[each] += 1
        since = len(read(log))
        by_hand += next_session(prefix, since)
    by_hand += run_to_the_end(prefix, since)
    ran = starts(prefix)
    print("hard power cuts (seed %d): %d cuts, %d starts by hand; programs started %s, allowed at most %s"
          % (seed, done, by_hand, ran, allowed))
    check(done >= min(cuts, 3), "hard power cuts: only %d cuts" % done)
    check(all(1 <= ran[name] <= allowed[name] for name in PROGRAMS),
          "hard power cuts: a program whose command had ended ran again: %s (allowed %s)" % (ran, allowed))
    check(installed(prefix) == expected, "hard power cuts: the files differ from a run without cuts")
    check(result_code(prefix) == "0", "hard power cuts: result %s, not 0" % result_code(prefix))
    left_nothing(prefix, "hard power cuts", cut=True)


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
        program_restarts_windows(prefix)
        unfinished_elsewhere(prefix)
        guards(prefix)
        power_cuts(prefix, expected)
        hard_power_cuts(prefix, expected, HARD_CUTS)
    finally:
        if prefix:
            prefix.end()
        shutil.rmtree(work, ignore_errors=True)
    print("resume: every case as expected" if not failures else "resume: %d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
