"""The bench of one trial: the discs as folders, and a throwaway Wine
prefix in which the media see the prefix's C: drive and the CD-ROM drive
alone, not the user's files through Wine's Z: drive."""

import json
import os
import shutil
import stat
import subprocess
import time
import urllib.parse

from . import facts
from .prefixes import copy_prefix, unmount_prefix
from .processes import TOOLS, WINE_CALL_SECONDS, Failure, kill_session, run_quietly, start_quietly, wait_quietly

LEAST_CALL_SECONDS = 5      # what a call gets even when a deadline has passed
PREFIX_SECONDS = 600        # making the prefix, the first time Wine starts
OUTPUTS = "QVTRY"           # the folder on C: for the run's answers, log, result and pictures
# The bench's follower of the runs that Windows starts when a new session
# starts: a program of the RunServices key, which Wine starts at the start of
# a session without waiting for it, before the RunOnce entries.
RUN_SERVICES = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices"
FOLLOWER = "QVTRYFOLLOW"
FOLLOWER_OUTPUT = "FOLLOW.TXT"
JOURNAL_FILES = facts.journal_files()
FOREIGN_PATH_RULE = "not-on-this-windows"     # qvcheck's rule of paths a Windows lacks


def build_tree():
    """The full path of the Windows build tree whose programs a trial runs
    (build-win, or QV_WIN_TREE); a Failure when it has no helper program."""
    tree = os.path.abspath(os.environ.get("QV_WIN_TREE", os.path.join(os.path.dirname(TOOLS), "build-win")))
    if not os.path.isfile(os.path.join(tree, "demo_driver.exe")):
        raise Failure("no build tree with demo_driver.exe at %s (tools/build win, or QV_WIN_TREE)" % tree)
    return tree


def find_in_folder(folder, relative):
    """The path of `relative` (backslashes) below `folder`, any case, or None."""
    path = folder
    for part in [p for p in relative.replace("\\", "/").split("/") if p]:
        try:
            names = os.listdir(path)
        except OSError:
            return None
        match = next((n for n in names if n.lower() == part.lower()), None)
        if match is None:
            return None
        path = os.path.join(path, match)
    return path


def is_block_device(path):
    """True for a drive's device, such as /dev/sr0."""
    try:
        return stat.S_ISBLK(os.stat(path).st_mode)
    except OSError:
        return False


class Discs:
    """The discs as folders of the work folder (whose path Wine can be
    given whatever the user's paths are): a link to a given folder, or a
    mounted or unpacked image. What was mounted is unmounted by close(),
    also when a later disc fails."""

    def __init__(self, paths, work):
        self.folders, self.mounts = [], []
        try:
            for number, path in enumerate(paths, 1):
                self.folders.append(self.open_disc(path, os.path.join(work, "disc%d" % number)))
        except BaseException:
            self.close()
            raise

    def open_disc(self, path, folder):
        if os.path.isdir(path):
            os.symlink(os.path.abspath(path), folder)
            return folder
        if not (os.path.isfile(path) or is_block_device(path)):
            raise Failure("%s is neither a folder nor an image" % path)
        os.makedirs(folder)
        for mount in (["mount", "-o", "loop,ro", path, folder], ["fuseiso", "-p", path, folder]):
            if shutil.which(mount[0]) and run_quietly(mount) == 0 and os.path.ismount(folder):
                self.mounts.append(folder)
                return folder
        if run_quietly(["xorriso", "-osirrox", "on", "-indev", path, "-extract", "/", folder]) != 0:
            raise Failure("%s can be neither mounted nor unpacked" % path)
        return folder

    def close(self):
        for folder in self.mounts:
            if run_quietly(["umount", folder], seconds=30) != 0:
                run_quietly(["fusermount", "-u", folder], seconds=30)
        self.mounts = []

    def holding(self, relative):
        """The number (from 0) of the disc with that file, or None."""
        for number, folder in enumerate(self.folders):
            if find_in_folder(folder, relative):
                return number
        return None


class Bench:
    """A throwaway Wine prefix of the build tree's kind, made and ended by
    tools/bench (a copy of `prepared`, a prepared prefix, where one is
    given), with the helper program on its C: drive and no Z: drive."""

    def __init__(self, tree, work, display, prepared=None):
        self.dir = os.path.join(work, "bench")
        os.makedirs(self.dir)
        shutil.copyfile(os.path.join(tree, "bench", "arch"), os.path.join(self.dir, "arch"))
        self.env = dict(os.environ)
        if not display:
            self.env.pop("DISPLAY", None)
        self.deadline = None
        self.found_on_c = {}        # Windows path: its Linux path, once found
        self.started = True
        self.mounted = False
        try:
            if prepared:
                self.mounted = copy_prefix(prepared, os.path.join(self.dir, "prefix"))
            self.prepare(tree)
        except BaseException:
            # Whatever the start left running (Xvfb, a server) ends with it.
            self.stop()
            raise

    def prepare(self, tree):
        if run_quietly([os.path.join(TOOLS, "bench"), "start", self.dir], env=self.env,
                       seconds=PREFIX_SECONDS) != 0:
            raise Failure("the Wine prefix could not be made")
        self.env = self.bench_environment()
        self.drive_c = os.path.join(self.env["WINEPREFIX"], "drive_c")
        self.outputs = os.path.join(self.drive_c, OUTPUTS)
        os.makedirs(os.path.join(self.outputs, "SHOTS"))
        shutil.copyfile(os.path.join(tree, "demo_driver.exe"), os.path.join(self.outputs, "DEMO.EXE"))
        shutil.copyfile(os.path.join(tree, "qvcheck.exe"), os.path.join(self.outputs, "QVCHECK.EXE"))

    def bench_environment(self):
        script = 'source "%s/bench-env.sh" "%s" && env -0' % (TOOLS, self.dir)
        try:
            listing = subprocess.run(["bash", "-c", script], env=self.env, capture_output=True,
                                     timeout=60).stdout
        except (OSError, subprocess.TimeoutExpired):
            raise Failure("the bench's environment could not be read")
        return dict(entry.split("=", 1) for entry in listing.decode().split("\0") if "=" in entry)

    @staticmethod
    def windows_path(name):
        """The path on C: of a file of the run's outputs."""
        return "C:\\%s\\%s" % (OUTPUTS, name)

    def output(self, name):
        """The Linux path of a file of the run's outputs."""
        return os.path.join(self.outputs, name)

    def read_c(self, windows_path, offset=0):
        """The bytes from `offset` on of the file at `windows_path` ("C:\\..."),
        found in any case as Windows finds it (once found, the same file
        again); b"" while there is none (or no path)."""
        if not windows_path:
            return b""
        found = self.found_on_c.get(windows_path)
        if not found or not os.path.isfile(found):
            found = find_in_folder(self.drive_c, windows_path[3:])
            self.found_on_c[windows_path] = found
        try:
            with open(found or "", "rb") as data:
                data.seek(offset)
                return data.read()
        except OSError:
            return b""

    def finish_by(self, seconds):
        """Every later call ends within `seconds` from now, all together
        (each still gets a few seconds to end what it must)."""
        self.deadline = time.monotonic() + seconds

    def allowed(self, seconds):
        if self.deadline is None:
            return seconds
        return max(LEAST_CALL_SECONDS, min(seconds, self.deadline - time.monotonic()))

    def wine(self, *arguments, seconds=WINE_CALL_SECONDS):
        return run_quietly(["wine"] + list(arguments), env=self.env, seconds=self.allowed(seconds),
                           cwd=self.drive_c)

    def demo_driver(self, *arguments):
        return self.wine(self.windows_path("DEMO.EXE"), *arguments)

    def start_demo_driver(self, arguments, output, env):
        """The helper program started on its own, its output to the file `output`."""
        return subprocess.Popen(["wine", self.windows_path("DEMO.EXE")] + arguments, env=env,
                                cwd=self.drive_c, stdin=subprocess.DEVNULL, stdout=output,
                                stderr=subprocess.DEVNULL, start_new_session=True)

    def model_of(self, dump):
        """The helper program's answer for the SMBIOS dump `dump`, a file of
        the run's outputs: its exit code (1: no table) and the product name."""
        said = self.output("MODEL.TXT")
        with open(said, "wb") as output:
            process = self.start_demo_driver(["model", self.windows_path(dump)], output, self.env)
            try:
                code = process.wait(self.allowed(WINE_CALL_SECONDS))
            except subprocess.TimeoutExpired:
                kill_session(process)
                code = -1
        with open(said, "rb") as output:
            return code, output.read().decode("cp932", "replace").strip()

    def foreign_paths(self, drive, windows):
        """What a real Windows `windows` ("98", "2000", "xp") lacks or keeps
        elsewhere of the paths that the command lines of the disc in
        `drive` name, as qvcheck warns (rule not-on-this-windows), each
        "FILE line N: TEXT"; None when qvcheck could not say."""
        said = self.output("QVCHECK.SARIF")
        with open(said, "wb") as output:
            process = subprocess.Popen(["wine", self.windows_path("QVCHECK.EXE"), "/format=sarif", "/os=" + windows,
                                        "/cdrom=" + drive, drive + ":\\"], env=self.env, cwd=self.drive_c,
                                       stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.DEVNULL,
                                       start_new_session=True)
            try:
                process.wait(self.allowed(WINE_CALL_SECONDS))
            except subprocess.TimeoutExpired:
                kill_session(process)
                return None
        try:
            with open(said, encoding="utf-8") as output:
                results = json.load(output)["runs"][0]["results"]
        except (OSError, ValueError, KeyError, IndexError):
            return None
        found = []
        root = "file:///%s:" % drive
        for result in results:
            try:
                if result.get("ruleId") != FOREIGN_PATH_RULE:
                    continue
                location = result["locations"][0]["physicalLocation"]
                uri = urllib.parse.unquote(location["artifactLocation"]["uri"])
                name = (uri[len(root):] if uri.upper().startswith(root.upper()) else uri).lstrip("/").replace("/", "\\")
                found.append("%s line %d: %s" % (name, location.get("region", {}).get("startLine", 0),
                                                 result["message"]["text"]))
            except (KeyError, IndexError, TypeError, AttributeError):
                return None
        return found

    def put_in(self, drive, folder):
        """Puts the disc `folder` (a Linux path) into the CD-ROM drive made
        by put_in_first: its link in the prefix takes the new disc at once.
        No Wine program does it, so it works also while Windows starts (a
        program started then would wait for the start to end)."""
        link = os.path.join(self.env["WINEPREFIX"], "dosdevices", drive.lower() + ":")
        swap = link + ".swap"
        if os.path.lexists(swap):
            os.remove(swap)
        os.symlink(os.path.abspath(folder), swap)
        os.replace(swap, link)

    def put_in_first(self, drive, folder):
        """Puts the first disc in and takes Wine's Z: drive away, through
        which the medium would reach every file of the user: both before the
        medium runs; a Failure when either can't be done."""
        if self.demo_driver("map", drive, folder, "unmap", "Z") != 0:
            raise Failure("drive %s: could not be made a CD-ROM drive, or the prefix's Z: drive "
                          "could not be taken away" % drive)

    def journal_kept(self):
        """True when the prefix's Windows folder holds a journal of a run that
        goes on after a restart."""
        windows = os.path.join(self.drive_c, "windows")
        try:
            names = {name.upper() for name in os.listdir(windows)}
        except OSError:
            return False
        return any(name in names for name in JOURNAL_FILES)

    def follow_next_sessions(self, program_name, attend=()):
        """Makes every later session of the prefix start the follower of
        `program_name`'s runs, which appends what it saw to FOLLOW.TXT
        (attending them as `attend`, the helper's words, says)."""
        command = '"%s" follow %s %s %s' % (self.windows_path("DEMO.EXE"), program_name,
                                             self.windows_path("SHOTS"), self.windows_path(FOLLOWER_OUTPUT))
        command = " ".join([command] + list(attend))
        if self.wine("reg", "add", RUN_SERVICES, "/v", FOLLOWER, "/d", command, "/f") != 0:
            raise Failure("the follower of the runs after a restart could not be registered")

    def restart_windows(self):
        """Ends the session as a restart does (every program ends, the
        registry is written out) and starts Windows again; answers the
        start's process, which ends once the RunOnce entries have run."""
        self.end_programs()
        start = start_quietly(["wine", "cmd", "/c", "exit"], env=self.env, cwd=self.drive_c)
        if start is None:
            raise Failure("Windows could not be started again after a restart")
        return start

    def runs_program(self, name):
        """True while a process of this prefix runs the program `name` (a
        file name, any case): Linux names a Wine process after its file."""
        mark = ("WINEPREFIX=%s\0" % self.env["WINEPREFIX"]).encode()
        wanted = name.lower()[:15]
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/comm" % pid) as comm:
                    if comm.read().strip().lower() != wanted:
                        continue
                with open("/proc/%s/environ" % pid, "rb") as environ:
                    if mark in environ.read() + b"\0":
                        return True
            except OSError:
                continue
        return False

    def start_ending(self):
        """Starts ending every program of the prefix at once, as a power cut
        would; wait_ended waits for it, while other work may go on."""
        return start_quietly(["wineserver", "-k"], env=self.env)

    def wait_ended(self, ending):
        wait_quietly(ending, self.allowed(30))

    def end_programs(self):
        self.wait_ended(self.start_ending())

    def stop(self):
        if self.started:
            self.end_programs()
            run_quietly([os.path.join(TOOLS, "bench"), "stop", self.dir], env=self.env,
                        seconds=self.allowed(60))
            self.started = False
        if self.mounted:
            unmount_prefix(os.path.join(self.dir, "prefix"))
            self.mounted = False
