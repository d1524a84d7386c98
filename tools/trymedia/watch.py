"""The watch of a run: the setup log followed while the run goes on (a disc
put in when a prompt looks for it), and the story the log tells afterwards."""

from . import facts

LINES = facts.log_lines()
STAMP = LINES["LogTimeStampLength"]
# The lines that tell how a command ended.
COMMAND_ENDS = ("LogCommandDone", "LogCommandEndedRun", "LogDriveCheckEndedRun", "LogProgramEnded",
                "LogProgramNotWaited", "LogProgramTimedOut", "LogSleepEnded", "LogExistFound",
                "LogExistTimedOut", "LogProgramRestarts", "LogProgramRunsAgain")


def match_line(name, text):
    """The match of the log line `name` (of the core's header) in `text`, or None."""
    return LINES[name].match(text)


def read_log_lines(data):
    """The events of a setup log's bytes (CP932), time stamps removed."""
    return [line[STAMP:] for line in data.decode("cp932", "replace").splitlines()]


class LogFollower:
    """Reads the lines added to a file since the last call (`read(offset)`
    gives its bytes from `offset` on); a line is taken only once its line
    end is written."""

    def __init__(self, read):
        self.reader, self.read = read, 0

    def new_lines(self):
        chunk = self.reader(self.read)
        end = chunk.rfind(b"\n") + 1
        self.read += end
        return read_log_lines(chunk[:end])


def prompt_of(line):
    """(key, drive letter, probe path) of a line where a drive check looks
    for its probe file, or None."""
    found = match_line("LogLookingFor", line)
    if not found or len(found.group(2)) < 3 or found.group(2)[1:3] != ":\\":
        return None
    probe = found.group(2)
    return found.group(1), probe[0].upper(), probe[3:]


class Watch:
    """Follows the setup log while the run goes on: puts in the disc that a
    prompt on `drive` looks for, through `put_in(number)`."""

    def __init__(self, read_log, discs, drive, put_in):
        self.follower, self.discs, self.drive, self.put_in = LogFollower(read_log), discs, drive, put_in
        self.current, self.swaps = 0, []
        self.restarts = 0           # the starts of qvsetup so far that stopped for a restart
        self.staying = False        # the current start said so already

    def step(self):
        for line in self.follower.new_lines():
            if match_line("LogRunStarted", line):
                self.staying = False
            elif match_line("LogJournalStays", line) and not self.staying:
                self.restarts, self.staying = self.restarts + 1, True
            prompt = prompt_of(line)
            if prompt and prompt[1] == self.drive:
                self.swap_for(*prompt)

    def swap_for(self, key, drive, probe):
        wanted = self.discs.holding(probe)
        if wanted is None or wanted == self.current:
            return
        self.put_in(wanted)
        self.current = wanted
        self.swaps.append("disc %d put in for the prompt of %s (%s:\\%s)" % (wanted + 1, key, drive, probe))


def ends_command(line, command):
    """True when `line`, a line that tells how a command ended, is about
    `command` ("KEYWORD ..."): "%s done" names its keyword, and a line such
    as "every chosen application is done" is none of its ends."""
    done = match_line("LogCommandDone", line)
    return not done or done.group(1) == command.split(" ", 1)[0]


def log_story(lines):
    """What was chosen, each command with how it ended, and the programs
    started, from the events of a setup log."""
    # A run that goes on after a restart says its choice again.
    chosen = list(dict.fromkeys(l for l in lines if match_line("LogChosen", l) or match_line("LogNothingChosen", l)))
    commands, programs = [], []
    for line in lines:
        checked = match_line("LogCheckedCommandStart", line)
        start = checked or match_line("LogCommandStart", line)
        if start:
            command = start.group(1) + (" (drive check %s)" % checked.group(2) if checked else "")
            commands.append([command, "(no end logged)"])
            if command.startswith(("PROG ", "EPROG ")):
                programs.append([command, "EPROG: not waited for" if command.startswith("EPROG ")
                                 else "(no end logged)"])
            continue
        if commands and any(match_line(name, line) for name in COMMAND_ENDS) and ends_command(line, commands[-1][0]):
            commands[-1][1] = line
            if programs and programs[-1][0] == commands[-1][0]:
                programs[-1][1] = program_end(line, programs[-1][1])
    return chosen, commands, programs


def program_end(line, said):
    """How a started program ended, by the line that ended its command:
    its own end, or a command that failed before any program ran."""
    if line.startswith("PROG's program"):
        return line
    if match_line("LogCommandEndedRun", line) or match_line("LogDriveCheckEndedRun", line):
        return "not started: " + line
    return said


def starts_of(lines):
    """The events of each start of qvsetup that the log tells, in order."""
    starts = []
    for line in lines:
        if match_line("LogRunStarted", line):
            starts.append([])
        if starts:
            starts[-1].append(line)
    return starts


def stopped_for_restart(lines):
    """True when the last start of qvsetup stopped for a restart: its run
    goes on when Windows starts again."""
    starts = starts_of(lines)
    return bool(starts) and any(match_line("LogJournalStays", line) for line in starts[-1])


def exit_code_of_last_start(lines):
    """The exit code the last start of qvsetup logged, or None (a start that
    Windows ended logs none)."""
    starts = starts_of(lines)
    codes = [match_line("LogExitCode", line) for line in (starts[-1] if starts else [])]
    codes = [int(found.group(1)) for found in codes if found]
    return codes[-1] if codes else None


def restarts_of(lines):
    """Each stop for a restart, in order: (the number of its start of
    qvsetup, from 1; the last command it started, or None; whether Windows
    ended the session while the run went on)."""
    restarts = []
    for number, events in enumerate(starts_of(lines), 1):
        if not any(match_line("LogJournalStays", line) for line in events):
            continue
        commands = [(match_line("LogCheckedCommandStart", l) or match_line("LogCommandStart", l)) for l in events]
        commands = [found.group(1) for found in commands if found]
        ended = any(match_line("LogSessionEnds", line) for line in events)
        restarts.append((number, commands[-1] if commands else None, ended))
    return restarts


# The commands that end a run as meant: the notice.
ENDS_RUN_AS_MEANT = ("ATTENTION",)


def attended_verdict(lines, journal_kept):
    """(done, meaning) of an attended run by the log of its last start (such
    a run ends with 0 whatever happened): done when every chosen
    application is done, a notice ended the run, or Windows was about to
    restart with nothing left to go on; never when a command or a drive
    check ended the run, Cancel was pressed, nothing was chosen, or part of
    the run is left for after a restart."""
    starts = starts_of(lines)
    if not starts:
        return False, "the run logged no start"
    events = starts[-1]

    def said(name):
        return [found for found in (match_line(name, event) for event in events) if found]
    if said("LogJournalStays") or journal_kept:
        return False, "the run stopped, and part of it is left to go on after a restart"
    if said("LogDriveCheckEndedRun"):
        return False, "a drive check ended the run: its disc never came"
    ended = [found.group(1) for found in said("LogCommandEndedRun")]
    if ended and ended[-1] not in ENDS_RUN_AS_MEANT:
        return False, "%s ended the run: a box told the person why" % ended[-1]
    if said("LogCancelPressed"):
        return False, "Cancel was pressed"
    if said("LogNothingToRun"):
        return False, "nothing was chosen to run"
    if ended or said("LogEveryAppDone") or said("LogNothingLeftToRun"):
        return True, "done, as the log tells (an attended run ends with 0 whatever happens)"
    if said("LogWindowsAbout"):
        return True, "done, restart needed, as the log tells"
    return False, "the run ended before its applications were done (a box: see the pictures)"
