"""What the setup engine's core says about a run, as the facts the tools
ship with (kit_facts.json, written from the core's own tables and checked
against them by a unit test): the exit codes with their meanings, the log
lines that tell how a run goes, the result file's keys and escapes, the
answer keys, the journal's files and the largest table file the driver
takes. No fact is typed here a second time, and no C++ source is read."""

import json
import os
import re
import types

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


def largest_table_file():
    """The most bytes of a table file the driver takes; it passes over a
    larger one, and an empty one."""
    return FACTS["largest table file"]


def answer_keys():
    """The names of the answer file's keys, in the core's order."""
    return list(FACTS["answer keys"])


def _names(words):
    """The attribute name of a table's word: "failed at" -> failed_at."""
    return words.replace(" ", "_")


def result_file():
    """The result file: its run's section (.section), each key by its name
    (.exit_code, .reason, .process, .message, .failed_at, .seconds,
    .status) and the escapes that keep a value on one line (.escapes:
    {character: as written})."""
    table = FACTS["result file"]
    return types.SimpleNamespace(section=table["section"], escapes=dict(table["escapes"]),
                                 **{_names(words): key for words, key in table["keys"].items()})


def answer_section():
    """The section of the answer file that holds the answers."""
    return FACTS["answer section"]


def answer_key_names():
    """The answer keys by their names in lower case: .select, .log, .result ..."""
    return types.SimpleNamespace(**{key.lower(): key for key in FACTS["answer keys"]})


def application_statuses():
    """The statuses of an application in the result file, by name: .not_chosen ..."""
    return types.SimpleNamespace(**{_names(status): status for status in FACTS["application statuses"]})
