"""The answer file of a trial: one made of try-media's options, or the one
given with the trial's own Log and Result put in."""

import re

from . import facts

KEYS = facts.answer_keys()
ANSWER = facts.answer_key_names()
SECTION = facts.answer_section()
TRIAL_KEYS = (ANSWER.log, ANSWER.result)      # the keys a trial sets itself


def made_answers(values):
    """An [Unattended] section with `values` ({key: value}), in the core's
    order of the keys."""
    lines = ["[%s]" % SECTION] + ["%s=%s" % (key, values[key]) for key in KEYS if key in values]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def with_log_and_result(data, log, result):
    """The bytes of a given answer file with its Log and Result replaced by
    the trial's (those given: None keeps the file's own), put first in its
    [Unattended] section. A file without that section goes as it is:
    qvsetup refuses it, as it would on a factory line."""
    replaced = [key for key, value in zip(TRIAL_KEYS, (log, result)) if value is not None]
    if not replaced:
        return data
    ours = re.compile(rb"\s*(%s)\s*=" % b"|".join(key.encode() for key in replaced), re.I)
    lines = [line for line in data.splitlines() if not ours.match(line)]
    header = next((i for i, line in enumerate(lines)
                   if re.match(rb"\s*\[%s\]\s*$" % re.escape(SECTION.encode()), line, re.I)), None)
    if header is None:
        return data
    lines[header + 1:header + 1] = [(key + "=" + value).encode("cp932")
                                    for key, value in zip(TRIAL_KEYS, (log, result)) if value is not None]
    return b"\r\n".join(lines) + b"\r\n"


def key_values(data, section, names):
    """{name: value} of the first line of each key of `names` (any case) in
    `section` of an INF or answer file's bytes (CP932), as the profile
    reader finds them: blanks and quotes around the value removed."""
    found, inside = {}, False
    for line in data.decode("cp932", "replace").splitlines():
        header = re.match(r"\s*\[(.*)\]\s*$", line)
        if header:
            inside = header.group(1).strip().lower() == section.lower()
            continue
        key = re.match(r"\s*([^=;][^=]*?)\s*=\s*(.*?)\s*$", line) if inside else None
        if key:
            name = next((n for n in names if n.lower() == key.group(1).lower()), None)
            if name and name not in found:
                found[name] = key.group(2).strip('"')
    return found


# The folders and drives that a log or result path may name by a macro, as
# qvsetup expands them on the bench (a prefix of Wine has these folders).
# The system folder is left out (a 32-bit qvsetup on a 64-bit prefix writes
# it elsewhere than it names), and so is the boot drive (the first drive
# Windows lists, which a trial's CD-ROM drive A: or B: would be).
BENCH_MACROS = {"WINDIR": "C:\\windows", "PROGRAMFILES": "C:\\Program Files", "WINDISK": "C"}
PATH_CAPACITY = 260         # a path qvsetup takes, its end included


def path_on_c(value):
    """The path below C:\\ that a LOG, Log or Result value names on the
    bench, its macros expanded; None for a path the trial can't place
    (another drive, a relative path, a macro of another kind, quotes or
    names that Windows would take otherwise, a path qvsetup refuses)."""
    if len(value) + 1 >= PATH_CAPACITY or '"' in value:
        return None
    unplaced = "\0"
    text = re.sub(r"%(\w+)%", lambda m: BENCH_MACROS.get(m.group(1).upper(), unplaced), value.strip())
    if unplaced in text or "%" in text or "/" in text or len(text) >= PATH_CAPACITY or \
            not re.match(r"[Cc]:\\", text):
        return None
    parts = [part for part in text[3:].split("\\") if part]
    # Windows drops a name's trailing dots and blanks: such a name is not what it says.
    if not parts or any(part.strip(". ") == "" or part != part.rstrip(". ") for part in parts):
        return None
    return "\\".join(parts)


def placed_on_c(value):
    """The Windows path ("C:\\...") that a LOG, Log or Result value names on
    the bench, or None where path_on_c can't place it (or there is none)."""
    below = path_on_c(value) if value else None
    return "C:\\" + below if below else None


class RunFiles:
    """Where the run writes its log and its result on the bench, and lines
    that tell it: the medium's LOG and the answers' own Log and Result
    where they name a path on C:, else the trial's own files in its place."""

    def __init__(self, medium_inf, given_answers, trial_log, trial_result, attended=False):
        self.notes = []
        medium_log = key_values(medium_inf, "QvSetupConfig", ["LOG"]).get("LOG", "")
        if attended:
            # No answer file: the medium's log alone, and no result file.
            self.log = placed_on_c(medium_log)
            self.result, self.gives_log, self.gives_result = None, False, False
            self.notes.append("log: %s" % ("%s, as the medium's LOG=%s" % (self.log, medium_log) if self.log else
                                           "none the trial can follow (the medium's LOG names no path on C:)"))
            self.notes.append("result: none (a run attended by a person writes no result file)")
            return
        own = key_values(given_answers or b"", SECTION, TRIAL_KEYS)
        own_log, own_result = own.get(ANSWER.log), own.get(ANSWER.result, "")
        self.log = self._placed("the answers' %s=%s" % (ANSWER.log, own_log), own_log, trial_log, "log") \
            if own_log else self._placed("the medium's LOG=%s" % medium_log, medium_log, trial_log, "log")
        self.result = self._placed("the answers' %s=%s" % (ANSWER.result, own_result), own_result,
                                   trial_result, "result")
        # The answers name a file of their own only where the trial puts its own in place.
        self.gives_log = self.log == trial_log
        self.gives_result = self.result == trial_result

    def _placed(self, said, value, trial_file, kind):
        if not value:
            self.notes.append("%s: %s (the run names none of its own)" % (kind, trial_file))
            return trial_file
        placed = placed_on_c(value)
        if placed is None:
            self.notes.append("%s: %s, where the trial can follow it; %s names no path on C: of the bench"
                              % (kind, trial_file, said))
            return trial_file
        self.notes.append("%s: %s, as %s" % (kind, placed, said))
        return placed


def own_answers(data, files):
    """The bytes of a given answer file with the trial's Log and Result in
    place of those it can't follow (see RunFiles)."""
    return with_log_and_result(data, files.log if files.gives_log else None,
                               files.result if files.gives_result else None)
