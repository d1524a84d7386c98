"""What the setup engine's core says about a run, read from its own sources:
the exit codes with their meanings, the log lines that tell how a run goes,
and the answer keys. No fact is typed here a second time."""

import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CORE = os.path.join(ROOT, "setup", "core")


def _read(name):
    with open(os.path.join(CORE, name), encoding="utf-8") as source:
        return source.read()


def exit_codes(text=None):
    """{code: (meaning, installed)} from the core's table of run ends."""
    text = _read("run_end.h") if text is None else text
    values = {name: int(value) for name, value in re.findall(r"\b(End\w+) = (\d+),", text)}
    facts = re.findall(r'\{\s*(End\w+),\s*"([^"]*)",\s*(true|false)\s*\}', text)
    return {values[name]: (meaning, installed == "true") for name, meaning, installed in facts}


def running_reason(text=None):
    text = _read("run_end.h") if text is None else text
    return re.search(r'RunningReason\[\] = "([^"]*)"', text).group(1)


def _format_pattern(format_text):
    """A regular expression that matches what printf writes with `format_text`."""
    parts = re.split(r"(%l?[sdcu])", format_text.replace("%%", "\0"))
    pattern = ""
    for part in parts:
        if part in ("%s",):
            pattern += "(.*?)"
        elif part in ("%d", "%lu", "%u", "%ld"):
            pattern += r"(-?\d+)"
        elif part == "%c":
            pattern += "(.)"
        else:
            pattern += re.escape(part.replace("\0", "%"))
    return re.compile(pattern + "$")


def log_lines(text=None):
    """{name: compiled pattern} of the log lines the core's header lists, and
    the time stamp's length as 'LogTimeStampLength'."""
    text = _read("log_lines.h") if text is None else text
    lines = {}
    for name, literal in re.findall(r'constexpr char (Log\w+)\[\] =\s*"((?:[^"\\]|\\.)*)";', text, re.S):
        lines[name] = _format_pattern(literal.encode().decode("unicode_escape"))
    lines["LogTimeStampLength"] = int(re.search(r"LogTimeStampLength = (\d+);", text).group(1))
    return lines


def journal_files(text=None):
    """The names of the journal's copies in the Windows folder."""
    text = _read("resume.h") if text is None else text
    names = re.search(r"JournalFileNames\[\] = \{([^}]*)\}", text).group(1)
    return tuple(re.findall(r'"([^"]+)"', names))


def answer_keys(text=None):
    """The names of the answer file's keys, in the core's order."""
    text = _read("answer_file.cpp") if text is None else text
    return re.findall(r'\{"(\w+)", "[^"]*", Apply\w+\}', text)
