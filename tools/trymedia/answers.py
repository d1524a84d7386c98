"""The answer file of a trial: one made of try-media's options, or the one
given with the trial's own Log and Result put in."""

import re

from . import facts

KEYS = facts.answer_keys()
TRIAL_KEYS = ("Log", "Result")      # the keys a trial sets itself
assert all(key in KEYS for key in TRIAL_KEYS), "the core's answer keys have changed"


def made_answers(values):
    """An [Unattended] section with `values` ({key: value}), in the core's
    order of the keys."""
    lines = ["[Unattended]"] + ["%s=%s" % (key, values[key]) for key in KEYS if key in values]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def with_log_and_result(data, log, result):
    """The bytes of a given answer file with its Log and Result replaced by
    the trial's, put first in its [Unattended] section. A file without that
    section goes as it is: qvsetup refuses it, as it would on a factory line."""
    ours = re.compile(rb"\s*(%s)\s*=" % b"|".join(key.encode() for key in TRIAL_KEYS), re.I)
    lines = [line for line in data.splitlines() if not ours.match(line)]
    header = next((i for i, line in enumerate(lines)
                   if re.match(rb"\s*\[Unattended\]\s*$", line, re.I)), None)
    if header is None:
        return data
    lines[header + 1:header + 1] = [b"Log=" + log.encode("cp932"), b"Result=" + result.encode("cp932")]
    return b"\r\n".join(lines) + b"\r\n"
