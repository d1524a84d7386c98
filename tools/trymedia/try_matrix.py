"""try-matrix: installation media tried over a matrix of machines, each
cell one try-media run (tools/try-matrix calls main)."""

import argparse
import json
import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from urllib.parse import unquote

from . import matrix, prefixes, report
from .bench import Discs, build_tree
from .cli import is_replaceable, usage_error
from .processes import TOOLS, Failure

TRY_MATRIX = os.path.join(TOOLS, "try-matrix")
TRY_MEDIA = os.path.join(TOOLS, "try-media")
QVCHECK = os.path.join(TOOLS, "qvcheck")
CELL_GRACE_SECONDS = 180    # what a cell may take beyond --timeout: making a prefix, the report
CELL_CLEANUP_SECONDS = 60   # what a stopped cell's trial may take to clean up
CELL_STOP_SECONDS = 90      # what stopping every running cell may take
SSH_SECONDS = 20            # what a machine of --sshloginfile may take to answer
QVCHECK_SECONDS = 300
BASELINE_SECONDS = 400      # making the run of an empty medium that the cells are judged against
DUMP_ENDINGS = (".dmi", ".bin", ".dat")
REPORT_MARK = ".try-matrix-report"  # in every matrix report folder: one that try-matrix may replace
PLAN = "matrix.json"


def parse_arguments():
    parser = argparse.ArgumentParser(
        prog="tools/try-matrix", description="Tries installation media over a matrix of machines.")
    parser.add_argument("discs", metavar="DISC", nargs="+",
                        help="a media folder or an ISO image; the first holds QVSETUP.EXE")
    parser.add_argument("--smbios", metavar="DUMP", nargs="+", default=[],
                        help="SMBIOS dumps, or folders of them (%s): one row each" % ", ".join(DUMP_ENDINGS))
    parser.add_argument("--windows", default="",
                        help="a comma list of Windows versions (%s; default %s)"
                             % (", ".join(sorted(prefixes.WINDOWS_VERSIONS)), prefixes.DEFAULT_WINDOWS))
    parser.add_argument("--answers", metavar="FILE", nargs="+", default=[], help="answer files, a column each")
    parser.add_argument("--select", metavar="LIST", nargs="+", action="extend", default=[],
                        help="selections as try-media takes them, a column each (default DEFAULT)")
    parser.add_argument("--disc-wait", type=int, default=60, metavar="S",
                        help="seconds a disc prompt waits (default 60)")
    parser.add_argument("--timeout", type=int, default=600, metavar="S",
                        help="seconds before a cell's run that does not end is stopped (default 600)")
    parser.add_argument("--restarts", type=int, default=5, metavar="N",
                        help="the most restarts a cell's run may take; each is followed as the PC would "
                             "go on (default 5)")
    parser.add_argument("--jobs", type=int, metavar="N", help="cells at a time on each machine (default: its cores)")
    parser.add_argument("--sshloginfile", metavar="FILE",
                        help="GNU parallel's list of machines that run cells (':' is this one)")
    parser.add_argument("--out", default="try-matrix-report", help="the report folder")
    parser.add_argument("--junit", metavar="FILE", help="also write every cell's outcome as JUnit XML")
    parser.add_argument("--cache", metavar="DIR", help="the folder of prepared prefixes (try-media's default)")
    try:
        options = parser.parse_args()
    except SystemExit as end:
        sys.exit(2 if end.code else 0)
    options.windows = [w.strip() for w in options.windows.split(",") if w.strip()] or [prefixes.DEFAULT_WINDOWS]
    wrong = [w for w in options.windows if w not in prefixes.WINDOWS_VERSIONS]
    if wrong:
        usage_error(parser, "--windows: %s is not offered (%s)" % (wrong[0], ", ".join(sorted(prefixes.WINDOWS_VERSIONS))))
    if options.jobs is not None and options.jobs < 1:
        usage_error(parser, "--jobs takes a number of cells")
    if options.timeout < 1:
        usage_error(parser, "--timeout takes a number of seconds")
    if options.restarts < 0:
        usage_error(parser, "--restarts takes a number of restarts")
    for name in ("discs", "answers"):
        setattr(options, name, [os.path.abspath(p) for p in getattr(options, name)])
    for path in options.discs:
        if not os.path.exists(path):
            usage_error(parser, "%s is neither a folder nor an image" % path)
    for path in options.answers:
        if not os.path.isfile(path):
            usage_error(parser, "--answers: %s is no file" % path)
    try:
        options.dumps = dumps_of(options.smbios)
    except Failure as failure:
        usage_error(parser, str(failure))
    for name in ("out", "junit", "cache", "sshloginfile"):
        if getattr(options, name):
            setattr(options, name, os.path.abspath(getattr(options, name)))
    if os.path.exists(options.out) and not is_replaceable(options.out, REPORT_MARK):
        usage_error(parser, "--out %s holds files and no earlier matrix report: choose an empty or a new folder"
                    % options.out)
    return options


def dumps_of(given):
    """The dump files of --smbios: each file given, and a folder's files
    with a dump's ending, sorted."""
    dumps = []
    for path in given:
        if os.path.isdir(path):
            found = sorted(os.path.join(os.path.abspath(path), n) for n in os.listdir(path)
                           if n.lower().endswith(DUMP_ENDINGS) and os.path.isfile(os.path.join(path, n)))
            if not found:
                raise Failure("--smbios: the folder %s holds no dump (%s)" % (path, ", ".join(DUMP_ENDINGS)))
            dumps += found
        elif os.path.isfile(path):
            dumps.append(os.path.abspath(path))
        else:
            raise Failure("--smbios: %s is neither a file nor a folder" % path)
    return dumps


def cells_of(options):
    """Every cell of the matrix: its row's dump, its Windows version and its setup."""
    setups = [{"answers": a} for a in options.answers] + [{"select": s} for s in options.select]
    cells = []
    for dump in options.dumps or [None]:
        for windows in options.windows or [None]:
            for setup in setups or [{"select": "DEFAULT"}]:
                cells.append(dict(setup, number=len(cells) + 1, smbios=dump, windows=windows))
    return cells


# Before the matrix starts: what would make every cell fail is told at once.

def check_answers(options, work):
    """Refuses an answer file that qvcheck finds an error in."""
    if not options.answers:
        return
    discs = Discs(options.discs, work)
    try:
        for answers in options.answers:
            sarif = run_qvcheck(["--format", "sarif", "/answers", answers] + discs.folders)
            errors = [r for r in sarif_results(sarif)
                      if r.get("level") == "error" and os.path.realpath(result_path(r)) == os.path.realpath(answers)]
            if errors:
                raise Failure("--answers: qvcheck refuses %s: %s" % (answers, errors[0]["message"]["text"]))
    finally:
        discs.close()


def run_qvcheck(arguments):
    try:
        done = subprocess.run([QVCHECK] + arguments, capture_output=True, timeout=QVCHECK_SECONDS)
    except (OSError, subprocess.TimeoutExpired):
        raise Failure("tools/qvcheck could not be run")
    if done.returncode > 2:
        raise Failure("tools/qvcheck could not check the media: " + done.stderr.decode(errors="replace").strip())
    try:
        return json.loads(done.stdout)
    except ValueError:
        raise Failure("tools/qvcheck wrote no SARIF log")


def sarif_results(sarif):
    return [r for run in sarif.get("runs", []) for r in run.get("results", [])]


def result_path(result):
    """The Linux path of a SARIF result's file, or '' for none."""
    for place in result.get("locations", []):
        uri = place.get("physicalLocation", {}).get("artifactLocation", {}).get("uri", "")
        if uri.startswith("file://"):
            return unquote(uri[len("file://"):])
    return ""


def ssh_logins(path):
    """The machines of an sshloginfile, as GNU parallel reads it: one a line,
    '#' a comment, 'N/' before a login the number of cells it takes."""
    logins = []
    with open(path) as listing:
        for line in listing:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            login = line.split("/", 1)[1] if "/" in line.split()[0] else line
            logins.append(login.strip())
    return logins


def check_machines(options):
    """Every machine of --sshloginfile answers over ssh without a password."""
    if not options.sshloginfile:
        return
    try:
        logins = ssh_logins(options.sshloginfile)
    except OSError as error:
        raise Failure("--sshloginfile: %s" % error)
    if not logins:
        raise Failure("--sshloginfile: %s names no machine" % options.sshloginfile)
    for login in logins:
        if login == ":":
            continue
        words = shlex.split(login)
        command = (words if len(words) > 1 else
                   ["ssh", "-o", "BatchMode=yes", "-o", "ConnectTimeout=10", login]) + ["true"]
        try:
            answered = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True,
                                      timeout=SSH_SECONDS).returncode == 0
        except (OSError, subprocess.TimeoutExpired):
            answered = False
        if not answered:
            raise Failure("--sshloginfile: %s can't be reached over ssh without a password" % login)


def prepare_prefixes(tree, options):
    """Makes this machine's prepared prefixes, and the run of an empty medium
    on each that the cells are judged against, before the cells start, so
    that no cell's time goes to it and an unusable cache is told at once.
    A run of an empty medium that fails is told; the cells then say they
    were judged without it."""
    for windows in options.windows or [None]:
        cache = options.cache or prefixes.default_cache()
        prefixes.prepared_prefix_of_tree(tree, cache, windows, False)
        command = [TRY_MEDIA, "--make-baseline", "--cache", cache] + \
            (["--windows", windows] if windows else []) + ["--", options.discs[0]]
        try:
            done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=BASELINE_SECONDS)
            said = done.stderr.decode("utf-8", "replace").strip()
            if done.returncode != 0:
                print("try-matrix: %s" % (said or "the run of an empty medium could not be made"), file=sys.stderr)
        except (OSError, subprocess.TimeoutExpired):
            print("try-matrix: the run of an empty medium took more than %d s" % BASELINE_SECONDS, file=sys.stderr)


# One cell: run where GNU parallel starts it, in the folder of the matrix's plan.

def run_cell(number):
    with open(PLAN, encoding="utf-8") as plan_file:
        plan = json.load(plan_file)
    cell = plan["cells"][number - 1]
    folder = str(number)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    command = [TRY_MEDIA, "--out", os.path.join(folder, "report"), "--junit", os.path.join(folder, "junit.xml"),
               "--timeout", str(plan["timeout"]), "--disc-wait", str(plan["disc_wait"]),
               "--restarts", str(plan.get("restarts", 5)), "--baseline"]
    for option in ("smbios", "windows", "answers", "select"):
        if cell.get(option):
            command += ["--" + option, cell[option]]
    if plan.get("cache"):
        command += ["--cache", plan["cache"]]
    # A TERM ends the trial, which cleans up; this process waits for it.
    for each in (signal.SIGTERM, signal.SIGINT):
        signal.signal(each, signal.SIG_IGN)
    with open(os.path.join(folder, "output.txt"), "wb") as output:
        code = subprocess.call(command + ["--"] + plan["discs"], stdin=subprocess.DEVNULL,
                               stdout=output, stderr=subprocess.STDOUT)
    with open(os.path.join(folder, "cell.json"), "w") as said:
        json.dump({"try-media": code}, said)
    return code


# The whole matrix.

def run_cells(options, cells_folder, count):
    """Runs every cell with GNU parallel; its job log's path."""
    joblog = os.path.join(cells_folder, "joblog.txt")
    # A cell stopped (its time out, or the matrix ended) gets a TERM, on
    # which its trial cleans up, and a KILL only a minute later.
    command = ["parallel", "--will-cite", "--joblog", joblog, "--timeout", str(options.timeout + CELL_GRACE_SECONDS),
               "--termseq", "TERM,%d,KILL,25" % (CELL_CLEANUP_SECONDS * 1000)]
    if options.jobs:
        command += ["--jobs", str(options.jobs)]
    if options.sshloginfile:
        command += ["--sshloginfile", options.sshloginfile, "--workdir", cells_folder,
                    "--basefile", PLAN, "--return", "{}", "--cleanup"]
    # On other machines "python3" as each finds it: this one's interpreter
    # may live in a folder that another machine does not have.
    interpreter = "python3" if options.sshloginfile else shlex.quote(sys.executable)
    command += [interpreter + " " + shlex.quote(TRY_MATRIX) + " --run-cell {}", ":::"]
    command += [str(n) for n in range(1, count + 1)]
    try:
        parallel = subprocess.Popen(command, cwd=cells_folder, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except OSError:
        raise Failure("GNU parallel can't be started (tools/install-deps installs it)")
    try:
        parallel.wait()
    except BaseException:
        stop_cells(parallel)
        raise
    return joblog


def stop_cells(parallel):
    """Ends the cells that run: GNU parallel starts no more on a first TERM
    and ends the running ones on a second; each trial cleans up after itself."""
    for _ in range(2):
        parallel.send_signal(signal.SIGTERM)
        time.sleep(1)
    try:
        parallel.wait(CELL_STOP_SECONDS)
    except subprocess.TimeoutExpired:
        parallel.kill()


def start_out(out):
    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(os.path.join(out, "cells"))
    open(os.path.join(out, REPORT_MARK), "w").close()


def try_matrix(options, work):
    # The cells run in another folder: they are given the tree's full path.
    tree = os.environ["QV_WIN_TREE"] = build_tree()
    if not shutil.which("parallel"):
        raise Failure("GNU parallel is not installed (tools/install-deps installs it)")
    check_machines(options)
    check_answers(options, work)
    prepare_prefixes(tree, options)
    cells = cells_of(options)
    start_out(options.out)
    cells_folder = os.path.join(options.out, "cells")
    with open(os.path.join(cells_folder, PLAN), "w", encoding="utf-8") as plan:
        json.dump({"discs": options.discs, "cells": cells, "timeout": options.timeout,
                   "disc_wait": options.disc_wait, "restarts": options.restarts, "cache": options.cache},
                  plan, indent=1)
    joblog = run_cells(options, cells_folder, len(cells))
    outcomes = matrix.read_cells(cells_folder, cells, matrix.read_joblog(joblog))
    table = matrix.Matrix(outcomes)
    matrix.write_text(os.path.join(options.out, "matrix.txt"), options.discs, table)
    matrix.write_html(options.out, options.discs, table)
    if options.junit:
        report.write_junit(options.junit, [matrix.junit_suite_of(cell, table.row_label(cell.given.get("smbios")))
                                             for cell in outcomes])
    with open(os.path.join(options.out, "matrix.txt"), encoding="utf-8") as text:
        print(text.read(), end="")
    return 0 if all(cell.installed for cell in outcomes) else 1


def main():
    # GNU parallel starts each cell in the folder of the matrix's plan.
    if len(sys.argv) == 3 and sys.argv[1] == "--run-cell" and sys.argv[2].isdigit():
        return run_cell(int(sys.argv[2]))
    options = parse_arguments()
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    work = tempfile.mkdtemp(prefix="try-matrix.")
    try:
        return try_matrix(options, work)
    except Failure as failure:
        print("try-matrix: %s" % failure, file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        print("try-matrix: stopped; the running cells were ended and cleaned up", file=sys.stderr)
        return 2
    finally:
        shutil.rmtree(work, ignore_errors=True)
