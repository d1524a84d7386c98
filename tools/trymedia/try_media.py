"""try-media: one trial of installation media under Wine, from its options
to its report (tools/try-media calls main)."""

import argparse
import concurrent.futures
import hashlib
import os
import re
import shutil
import signal
import sys
import tempfile
import time

from . import facts, prefixes, report
from .answers import ANSWER, RunFiles, made_answers, own_answers
from .bench import Bench, Discs, FOLLOWER_OUTPUT, build_tree, find_in_folder
from .cli import is_replaceable, usage_error
from .processes import TOOLS, Failure, kill_session
from .report import RESULT, STATUS
from .watch import (Watch, attended_verdict, exit_code_of_last_start, log_story, read_log_lines, restarts_of,
                    starts_of, stopped_for_restart)

# The bench's driver is an NT driver: programs that see Windows 98 open the
# driver's VxD instead, which Wine does not have.
NO_VXD_NOTE = "under Windows 98 typescan finds no driver on this bench: it reads no SMBIOS table"
STEP_SECONDS = 0.05         # how often the run is looked at
CLEANUP_SECONDS = 50        # what ending the run's programs and writing the report may take
LONGEST_DISC_WAIT = 3600
DEFAULT_RESTARTS = 5
FOLLOWER_SECONDS = 30       # how long the follower of a new session may take after Windows has started
REPORT_MARK = ".try-media-report"   # in every report folder: one that try-media may replace
EXIT_CODES = facts.exit_codes()
SELECT_LIST = re.compile(r"[^,\s][^,]*(,\s*[^,\s][^,]*)*")


class Stopped(BaseException):
    """A signal ended the trial: everything is cleaned up, and the exit code is 2."""


def parse_arguments():
    parser = argparse.ArgumentParser(
        prog="tools/try-media", description="Tries installation media unattended under Wine.")
    parser.add_argument("discs", metavar="DISC", nargs="+",
                        help="a media folder or an ISO image; the first holds QVSETUP.EXE")
    parser.add_argument("--answers", metavar="FILE", help="an answer file ([Unattended])")
    parser.add_argument("--select", default="DEFAULT",
                        help="DEFAULT, ALL, NONE or a comma list of INF file names")
    parser.add_argument("--restart", action="store_true",
                        help="SHUTDOWN restarts Windows as on a PC (Restart=YES); without it SHUTDOWN only "
                             "stops the run (Restart=NO: exit code 10). Either way a run that goes on after "
                             "the restart (RESUME=YES) is followed to its end")
    parser.add_argument("--restarts", type=int, default=DEFAULT_RESTARTS, metavar="N",
                        help="the most restarts a run may take (default %d); past it the trial fails"
                             % DEFAULT_RESTARTS)
    parser.add_argument("--disc-wait", type=int, default=60, metavar="S",
                        help="seconds a disc prompt waits, 0 to %d (default 60)" % LONGEST_DISC_WAIT)
    parser.add_argument("--windows", choices=sorted(prefixes.WINDOWS_VERSIONS), default=prefixes.DEFAULT_WINDOWS,
                        help="the Windows version shown (default %s)" % prefixes.DEFAULT_WINDOWS)
    parser.add_argument("--attended", action="store_true",
                        help="run the medium as a person at the keyboard does: the selection dialog (as "
                             "--select DEFAULT or ALL chooses), Install pressed, each box answered with its "
                             "default button as Enter does, each pictured; no answer file, so no result file")
    parser.add_argument("--smbios", metavar="DUMP", help="the SMBIOS table typescan reads")
    parser.add_argument("--drive", default="R", help="the CD-ROM drive letter (default R)")
    parser.add_argument("--out", default="try-media-report", help="the report folder")
    parser.add_argument("--timeout", type=int, default=600, metavar="S",
                        help="seconds before a run that does not end is stopped (default 600); "
                             "try-media ends at most a minute later")
    parser.add_argument("--display", action="store_true", help="show the run on your display")
    parser.add_argument("--junit", metavar="FILE", help="also write the outcome as JUnit XML")
    parser.add_argument("--fresh-prefix", action="store_true",
                        help="make a new Wine prefix for this trial, not a copy of a prepared one")
    parser.add_argument("--cache", metavar="DIR", default=prefixes.default_cache(),
                        help="the folder of prepared prefixes (default %(default)s)")
    parser.add_argument("--make-baseline", action="store_true",
                        help="only make the run of an empty medium that --baseline uses, for --windows "
                             "(try-matrix does so before its cells); exit code 0 when it could be made")
    parser.add_argument("--baseline", action="store_true",
                        help="leave out of the files and registry values the run changed those that a run "
                             "of an empty medium on the same prefix also changes (Wine's own), listing them "
                             "apart; the empty run is made once and kept with the prepared prefix "
                             "(try-matrix asks for it)")
    try:
        options = parser.parse_args()
    except SystemExit as end:
        sys.exit(2 if end.code else 0)
    if not re.fullmatch(r"[A-Za-z]", options.drive) or options.drive.upper() in "CZ":
        usage_error(parser, "--drive takes one letter other than C and Z")
    if not 0 <= options.disc_wait <= LONGEST_DISC_WAIT:
        usage_error(parser, "--disc-wait takes 0 to %d seconds" % LONGEST_DISC_WAIT)
    if options.timeout < 1:
        usage_error(parser, "--timeout takes a number of seconds")
    if options.restarts < 0:
        usage_error(parser, "--restarts takes a number of restarts")
    if options.attended and (options.answers or options.restart or options.select.upper() not in ("DEFAULT", "ALL")):
        usage_error(parser, "--attended takes --select DEFAULT or ALL, and no --answers or --restart: "
                            "a person answers what the run asks")
    if (options.baseline or options.make_baseline) and options.fresh_prefix:
        usage_error(parser, "--baseline is kept with a prepared prefix: it can't go with --fresh-prefix")
    if not SELECT_LIST.fullmatch(options.select):
        usage_error(parser, "--select takes DEFAULT, ALL, NONE or a comma list of INF file names")
    if options.junit:
        options.junit = os.path.abspath(options.junit)
    for name, path in (("--answers", options.answers), ("--smbios", options.smbios)):
        if path and not os.path.isfile(path):
            usage_error(parser, "%s: %s is no file" % (name, path))
    options.out = os.path.abspath(options.out)
    if not options.make_baseline and os.path.exists(options.out) and not is_replaceable(options.out, REPORT_MARK):
        usage_error(parser, "--out %s holds files and no earlier report: choose an empty or a new folder"
                    % options.out)
    options.drive = options.drive.upper()
    return options


def installed(code):
    """True for an exit code that means the installation is done (0, 10)."""
    return code in EXIT_CODES and EXIT_CODES[code][1]


def prepare_bench(bench, options, files):
    # A prepared prefix shows its Windows version already.
    if options.windows and options.fresh_prefix:
        bench.wine("reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d",
                   prefixes.WINDOWS_VERSIONS[options.windows], "/f")
    model = None
    if options.smbios:
        shutil.copyfile(options.smbios, bench.output("SMBIOS.DAT"))
        code, model = bench.model_of("SMBIOS.DAT")
        if code == 1:
            raise Failure("--smbios: %s holds no SMBIOS table" % options.smbios)
        if code != 0:
            raise Failure("--smbios: %s could not be read" % options.smbios)
        bench.wine("reg", "add", "HKLM\\Software\\Biospeek", "/v", "TableFile", "/d",
                   bench.windows_path("SMBIOS.DAT"), "/f")
    if options.attended:
        return model
    if options.answers:
        with open(options.answers, "rb") as given:
            data = own_answers(given.read(), files)
    else:
        values = {ANSWER.select: options.select, ANSWER.restart: "YES" if options.restart else "NO",
                  ANSWER.discwait: str(options.disc_wait), ANSWER.result: files.result}
        if files.gives_log:
            values[ANSWER.log] = files.log
        data = made_answers(values)
    with open(bench.output("ANSWERS.INI"), "wb") as answers:
        answers.write(data)
    return model


class Session:
    """One Wine session of the run: the process whose end ends it (the helper
    that starts the run, or the start of Windows that runs RunOnce), and
    how many followers of later sessions must have said their last word.
    It is over once that process has ended and no qvsetup of the prefix
    runs (Wine may start one again within the session: its own restart)."""

    def __init__(self, process, followers, program):
        self.process, self.followers, self.program = process, followers, program
        self.quiet_since = None

    def over(self, bench):
        if self.process.poll() is None or bench.runs_program(self.program):
            self.quiet_since = None
            return False
        if self.followers == 0:
            return True
        self.quiet_since = self.quiet_since or time.monotonic()
        said = read_output(bench, FOLLOWER_OUTPUT).count(b"follower ended")
        return said >= self.followers or time.monotonic() - self.quiet_since > FOLLOWER_SECONDS


class Run:
    """What the trial saw of the run across its sessions."""

    def __init__(self):
        self.stopped = False        # --timeout ended it
        self.problem = None         # why the run can't pass although it ended: too many restarts...
        self.seconds = 0.0
        self.watch = None
        self.code = None


def follow_session(session, bench, watch, deadline, most_restarts):
    """Follows a session until it is over: the discs the prompts look for
    are put in. False when --timeout ends it, or the run restarts more
    often than it may (the session is then ended)."""
    while not session.over(bench):
        watch.step()
        if time.monotonic() > deadline or watch.restarts > most_restarts:
            if session.process.poll() is None:
                kill_session(session.process)
            bench.end_programs()
            return False
        time.sleep(STEP_SECONDS)
    watch.step()
    return True


def too_many(most):
    return "the run restarted more than %d times (--restarts)" % most


def run_media(bench, discs, options, files, work):
    """Runs qvsetup from the disc until the run ends, across the restarts it
    stops for, or --timeout passes; answers a Run."""
    environment = dict(bench.env, QVSETUP_ANSWERS=bench.windows_path("ANSWERS.INI"))
    environment.pop("QVSETUP_RECORD", None)
    attend = []
    if options.attended:
        environment.pop("QVSETUP_ANSWERS")
        attend = ["attend", options.select.upper(), options.drive]
    name = os.path.basename(find_in_folder(discs.folders[0], "QVSETUP.EXE"))
    program = "%s:\\%s" % (options.drive, name)
    said = os.path.join(work, "demo-driver.txt")
    run = Run()
    run.watch = Watch(lambda offset: bench.read_c(files.log, offset), discs, options.drive,
                      lambda number: bench.put_in(options.drive, discs.folders[number]))
    start = time.monotonic()
    deadline = start + options.timeout
    # Its output goes to a file: a pipe would be held open by every program
    # the medium starts, and reading it could wait for ever.
    with open(said, "wb") as output:
        session = Session(bench.start_demo_driver(["watch", program, bench.windows_path("SHOTS")] + attend,
                                                  output, environment), 0, name)
    starts_before = None            # the starts of qvsetup before the trial's last restart
    try:
        while True:
            if not follow_session(session, bench, run.watch, deadline, options.restarts):
                run.stopped = time.monotonic() > deadline
                run.problem = None if run.stopped else too_many(options.restarts)
                break
            lines = read_log_lines(bench.read_c(files.log))
            if starts_before is not None and len(starts_of(lines)) == starts_before:
                run.problem = ("Windows started again and nothing started qvsetup: the run's RunOnce entry "
                               "is missing, and its journal waits for a start by hand")
                break
            # Without a log to read (an attended run may have none), the journal alone tells.
            if not ((stopped_for_restart(lines) or not files.log) and bench.journal_kept()):
                break
            if run.watch.restarts > options.restarts:
                run.problem = too_many(options.restarts)
                break
            if session.followers == 0:
                bench.follow_next_sessions(name, attend)
            starts_before = len(starts_of(lines))
            session = Session(bench.restart_windows(), session.followers + 1, name)
    finally:
        if session.process.poll() is None:
            kill_session(session.process)
    run.seconds = time.monotonic() - start
    run.code = last_exit_code(said, bench, files)
    with open(said, "rb") as output:
        text = output.read().decode("cp932", "replace")
    if run.code is None and not run.stopped and "qvsetup ended with exit code" not in text \
            and not starts_of(read_log_lines(bench.read_c(files.log))):
        raise Failure("qvsetup could not be run: " + text.strip())
    return run


def last_exit_code(said, bench, files):
    """The exit code of the last start of qvsetup, as its log says; where
    it logged none (Windows ended it as it ended), as its result file says,
    or as the helpers saw it end."""
    logged = exit_code_of_last_start(read_log_lines(bench.read_c(files.log)))
    if logged is not None:
        return logged
    written = report.read_result(bench.read_c(files.result)).get(RESULT.section, {}).get(RESULT.exit_code, "")
    if written.isdigit():
        return int(written)
    ends = []
    for text in (open(said, "rb").read(), read_output(bench, FOLLOWER_OUTPUT)):
        ends += [(int(start), int(code)) for code, start in
                 re.findall(r"qvsetup ended with exit code (-?\d+) \(start (\d+)\)", text.decode("cp932", "replace"))]
    return max(ends)[1] if ends and max(ends)[1] >= 0 else None


def read_output(bench, name):
    return bench.read_c(Bench.windows_path(name))


def machine_of(options, model):
    """What the trial showed the medium: the model of --smbios, Windows, the answers."""
    machine = {"windows": options.windows}
    if options.attended:
        machine["attended"] = "by a person (the trial): --select %s, the default button of each box" % options.select
    if options.smbios:
        machine.update(model=model or "(no product name)", smbios=options.smbios)
        if options.windows == "98":
            machine["note"] = NO_VXD_NOTE
    if options.answers:
        machine["answers"] = options.answers
    return machine


def judge(run, outcome, journal_kept, lines, attended=False):
    """(whether the installation is done, what the run's end means). Done
    only when the last start ended with a code that means so, its result
    file says that very code, and no part of the run is left to go on. An
    attended run writes no result file, and ends with 0 whatever happened
    (a person saw the boxes): its log alone tells."""
    result = outcome.get(RESULT.section, {})
    left = [name for name, values in outcome.items()
            if values.get(RESULT.status) in (STATUS.paused, STATUS.running)]
    if run.stopped:
        return False, "stopped after --timeout"
    if run.problem:
        return False, run.problem
    if attended:
        return attended_verdict(lines, journal_kept)
    if result.get(RESULT.exit_code) == "":
        return False, "the result file still says the run goes on (%s): it never ended" % result.get(RESULT.reason, "")
    if installed(run.code) and result.get(RESULT.exit_code) != str(run.code):
        return False, "the run ended with %s, and its result file says %s" % (
            run.code, result.get(RESULT.exit_code, "nothing"))
    if installed(run.code) and (journal_kept or left):
        return False, "the run ended with %s, and part of it is left to go on after a restart (%s)" % (
            run.code, ", ".join(left) or "its journal is kept")
    return installed(run.code), result.get(RESULT.reason, EXIT_CODES.get(run.code, ("no result file",))[0])


def restart_facts(lines, pictures):
    """Each restart of the run: after which command, how, and the picture of
    the last window before it."""
    facts = []
    for number, (start, command, session_ended) in enumerate(restarts_of(lines), 1):
        facts.append({"number": number, "start": start, "after": command or "(no command)",
                      "how": "Windows ended the session while the run went on" if session_ended
                             else "the run stopped for a restart",
                      "picture": report.last_picture(pictures, start)})
    return facts


def write_outcome(bench, options, machine, before, after, run_facts, new_report):
    """Writes the report of the run into `new_report`; its facts."""
    run, pictures, trial = run_facts
    log, result = bench.read_c(trial["run_log"]), bench.read_c(trial["run_result"])
    kept = [(log, "setup.log"), (result, "result.ini")]
    if not options.attended:
        kept.append((read_output(bench, "ANSWERS.INI"), "answers.ini"))
    for data, copy in kept:
        with open(os.path.join(new_report, copy), "wb") as out:
            out.write(data)
    outcome = report.read_result(result)
    lines = read_log_lines(log)
    chosen, commands, programs = log_story(lines)
    done, meaning = judge(run, outcome, bench.journal_kept(), lines, options.attended)
    registry_before, files_before = before
    registry_after, files_after = after
    facts = {
        "discs": options.discs, "machine": machine,
        "exit": "none" if run.code is None else run.code, "meaning": meaning, "installed": done,
        "seconds": run.seconds, "stopped": run.stopped, "timeout": options.timeout, "result": outcome,
        "swaps": run.watch.swaps, "chosen": chosen, "commands": commands, "programs": programs,
        "files": report.compare(files_before, files_after), "sizes": files_after,
        "registry": [[k for k in part if not report.REGISTRY_NOISE.match(k)]
                     for part in report.compare(registry_before, registry_after)],
        "pictures": [name for name, _ in pictures],
        "restarts": restart_facts(lines, pictures),
    }
    baseline = trial.pop("baseline", None)
    facts.update(trial)
    facts["last_picture"] = report.last_picture(pictures)
    facts["values"] = report.change_values(facts, files_after, registry_after)
    if baseline is not None:
        facts["churn"] = report.leave_out_churn(facts, facts["values"], baseline)
    report.write_report(new_report, facts)
    report.write_facts(new_report, facts)
    if options.junit:
        report.write_junit(os.path.join(new_report, "junit.xml"),
                           [report.junit_suite(" ".join(options.discs), facts, done)])
    open(os.path.join(new_report, REPORT_MARK), "w").close()
    return facts


def replace_report(new_report, out):
    """The new report takes the place of --out (empty, or an earlier report)."""
    if os.path.isdir(out):
        shutil.rmtree(out)
    shutil.move(new_report, out)


def read_registry(bench):
    """The prefix's registry, as its files hold it."""
    return report.read_registry_files(bench.env["WINEPREFIX"])


def in_background(function, *arguments):
    """A future of `function`'s answer, worked out in a thread of its own."""
    pool = concurrent.futures.ThreadPoolExecutor(max_workers=1)
    future = pool.submit(function, *arguments)
    pool.shutdown(wait=False)
    return future


def snapshot(bench, registry):
    """The prefix's registry and the files of C:."""
    return registry, report.file_listing(bench.drive_c, os.path.basename(bench.outputs))


def run_files_of(discs, options):
    """Where the run writes its log and result on the bench (see RunFiles)."""
    def read(path):
        try:
            with open(path, "rb") as data:
                return data.read()
        except OSError:
            return b""
    master = find_in_folder(discs.folders[0], "QVSETUP.INF")
    files = RunFiles(read(master) if master else b"", read(options.answers) if options.answers else b"",
                     Bench.windows_path("SETUP.LOG"), Bench.windows_path("RESULT.INI"), options.attended)
    if options.attended and files.log is None:
        raise Failure("--attended judges the run by its log (a run with a person at the keyboard ends with 0 "
                      "whatever happens) and puts discs in by it: the medium's LOG names no path on C: "
                      "that the trial can follow")
    return files


def prepared_prefix_for(tree, options):
    """The prepared prefix the trial copies, or None for a fresh one."""
    if options.fresh_prefix:
        return None
    return prefixes.prepared_prefix_of_tree(tree, options.cache, options.windows, options.display)


EMPTY_MEDIUM = {
    "QVSETUP.INF": b"[QvSetupConfig]\r\n",
    "QVEMPTY.INF": b"[Version]\r\nsignature=$QVSETUP$\r\nDefault=YES\r\n[Strings]\r\nTITLE=EMPTY\r\n"
                   b"[Install]\r\nSLEEP,100\r\n",
}
BASELINE_TIMEOUT = 120


def baseline_of(tree, options, work):
    """What a run of an empty medium changes on the trial's prepared prefix
    under the same Windows version (see prefixes.cached_baseline), kept
    with the prefix for the programs and scripts that make it."""
    def make():
        medium = os.path.join(work, "empty-medium")
        empty = argparse.Namespace(**dict(vars(options), discs=[medium], answers=None, smbios=None,
                                          select="DEFAULT", restart=False, timeout=BASELINE_TIMEOUT,
                                          junit=None, baseline=False, attended=False))
        try:
            os.makedirs(medium, exist_ok=True)
            shutil.copyfile(os.path.join(tree, "qvsetup.exe"), os.path.join(medium, "QVSETUP.EXE"))
            for name, data in EMPTY_MEDIUM.items():
                with open(os.path.join(medium, name), "wb") as out:
                    out.write(data)
            facts = run_trial(empty, os.path.join(work, "empty-run"), tree)[1]
        except Failure as failure:
            return {"failed": str(failure)}
        except Exception as fault:  # noqa: BLE001 - the trial itself goes on without a baseline
            return {"failed": "%s: %s" % (type(fault).__name__, fault)}
        if not facts["installed"]:
            return {"failed": "it ended with %s: %s" % (facts["exit"], facts["meaning"])}
        return {"changes": facts["values"]}
    return prefixes.cached_baseline(prepared_prefix_for(tree, options), baseline_inputs(tree), make)


def baseline_inputs(tree):
    """A digest of what makes a baseline: the programs of the build tree that
    run, the empty medium, and the trial's own scripts."""
    digest = hashlib.sha256(repr(sorted(EMPTY_MEDIUM.items())).encode())
    package = os.path.dirname(os.path.abspath(__file__))
    for path in ([os.path.join(tree, name) for name in ("qvsetup.exe", "demo_driver.exe", "qvcheck.exe")] +
                 [os.path.join(TOOLS, "try-media")] +
                 sorted(os.path.join(package, n) for n in os.listdir(package) if n.endswith(".py"))):
        try:
            with open(path, "rb") as data:
                digest.update(data.read())
        except OSError:
            digest.update(b"missing " + path.encode())
    return digest.hexdigest()[:16]


def try_media(options, work):
    tree = build_tree()
    if options.make_baseline:
        made = baseline_of(tree, options, work)
        if "failed" in made:
            raise Failure("the run of an empty medium could not be made: %s" % made["failed"])
        return 0
    baseline = baseline_of(tree, options, work) if options.baseline else None
    done, _facts, new_report = run_trial(options, work, tree, baseline)
    replace_report(new_report, options.out)
    with open(os.path.join(options.out, "report.txt"), encoding="utf-8") as text:
        print(text.read(), end="")
    if options.junit:
        shutil.copyfile(os.path.join(options.out, "junit.xml"), options.junit)
    return 0 if done else 1


def own_table(folders):
    """A Biospeek.dat that stands beside a Biospeek.sys on the discs and
    that the driver there reads before the PC's own table, or None."""
    for folder in folders:
        for place, _, names in os.walk(folder):
            lower = {n.lower(): n for n in names}
            if "biospeek.sys" in lower and "biospeek.dat" in lower:
                table = os.path.join(place, lower["biospeek.dat"])
                if 0 < os.path.getsize(table) <= facts.largest_table_file():
                    return table
    return None


def run_trial(options, work, tree, baseline=None):
    """One trial in the work folder `work`: (whether the installation is
    done, the facts, the report folder made)."""
    os.makedirs(work, exist_ok=True)
    discs = bench = None
    try:
        discs = Discs(options.discs, work)
        if not find_in_folder(discs.folders[0], "QVSETUP.EXE"):
            raise Failure("the first disc holds no QVSETUP.EXE")
        table = own_table(discs.folders) if options.smbios else None
        if table:
            raise Failure("--smbios: the medium's own %s stands beside its Biospeek.sys, and the driver reads it "
                          "before the PC's own table: every PC reads that model, whatever the dump"
                          % os.path.relpath(table, work))
        bench = Bench(tree, work, options.display, prepared_prefix_for(tree, options))
        # The registry's files change only when the session ends: they are
        # read while the bench is made ready.
        registry_before = in_background(read_registry, bench)
        files = run_files_of(discs, options)
        machine = machine_of(options, prepare_bench(bench, options, files))
        bench.put_in_first(options.drive, discs.folders[0])
        foreign = bench.foreign_paths(options.drive, options.windows)
        before = snapshot(bench, registry_before.result())
        run = run_media(bench, discs, options, files, work)
        # Everything of the run ends, and the registry is on disk; what
        # follows, the clean-up included, is bounded. The pictures are made
        # while Wine ends.
        bench.finish_by(CLEANUP_SECONDS)
        ending = bench.start_ending()
        new_report = os.path.join(work, "report")
        os.makedirs(new_report)
        pictures = report.make_pictures(bench.output("SHOTS"), new_report, bench.allowed(30))
        bench.wait_ended(ending)
        after = snapshot(bench, read_registry(bench))
        trial = {"foreign": foreign, "own_files": files.notes, "run_log": files.log, "run_result": files.result}
        if options.baseline:
            trial["baseline"] = baseline
        facts = write_outcome(bench, options, machine, before, after, (run, pictures, trial), new_report)
        return facts["installed"], facts, new_report
    finally:
        if bench:
            bench.stop()
        if discs:
            discs.close()


def stop_on_signal(number, _frame):
    # A second signal while cleaning up is ignored: the clean-up finishes.
    for each in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(each, signal.SIG_IGN)
    raise Stopped(signal.Signals(number).name)


def main():
    options = parse_arguments()
    for each in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(each, stop_on_signal)
    work = tempfile.mkdtemp(prefix="try-media.")
    try:
        return try_media(options, work)
    except Failure as failure:
        print("try-media: %s" % failure, file=sys.stderr)
        return 2
    except Stopped as stop:
        print("try-media: stopped by %s; everything of the trial is cleaned up" % stop, file=sys.stderr)
        return 2
    except Exception as fault:  # noqa: BLE001 - any fault is told, never a traceback
        print("try-media: internal error: %s: %s" % (type(fault).__name__, fault), file=sys.stderr)
        return 2
    finally:
        remove_work(work)


def remove_work(work):
    """Removes the work folder, but never through a disc that is still
    mounted (or a link to the user's folder, which rmtree does not follow)."""
    mounted = [os.path.join(work, name) for name in os.listdir(work)
               if os.path.ismount(os.path.join(work, name))]
    if mounted:
        print("try-media: %s is still mounted; %s is left in place" % (mounted[0], work), file=sys.stderr)
        return
    shutil.rmtree(work, ignore_errors=True)
