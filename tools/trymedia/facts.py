"""What the setup engine's core says about a run, as the facts the tools
ship with (kit_facts.json, written from the core's own tables and checked
against them by a unit test): the exit codes with their meanings, the log
lines that tell how a run goes, the answer keys and the journal's files.
No fact is typed here a second time, and no C++ source is read."""

import json
import os
import re

FACTS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kit_facts.json")


def _facts():
    with open(FACTS_FILE, encoding="utf-8") as facts:
        return json.load(facts)


FACTS = _facts()


def exit_codes():
    """{code: (meaning, installed)} from the core's table of run ends."""
    return {end["code"]: (end["meaning"], end["installed"]) for end in FACTS["exit codes"]}


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


def log_lines():
    """{name: compiled pattern} of the log lines the tools read, and the time
    stamp's length as 'LogTimeStampLength'."""
    lines = {name: _format_pattern(text) for name, text in FACTS["log lines"].items()}
    lines["LogTimeStampLength"] = FACTS["log time stamp length"]
    return lines


def journal_files():
    """The names of the journal's copies in the Windows folder."""
    return tuple(FACTS["journal files"])


def answer_keys():
    """The names of the answer file's keys, in the core's order."""
    return list(FACTS["answer keys"])
