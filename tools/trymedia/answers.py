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


def own_files(medium_inf, given_answers):
    """What the trial did with the run's own log and result: lines that say
    where the medium's LOG and the answers' Log and Result went."""
    lines = []
    log = key_values(medium_inf, "QvSetupConfig", ["LOG"]).get("LOG")
    if log:
        lines.append("the medium's LOG=%s: the trial's log (setup.log) was written in its place" % log)
    for key, value in key_values(given_answers or b"", "Unattended", TRIAL_KEYS).items():
        lines.append("the answers' %s=%s: the trial's %s was written in its place"
                     % (key, value, "log (setup.log)" if key == "Log" else "result (result.ini)"))
    return lines
