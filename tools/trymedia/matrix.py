"""The report of a matrix of trials: each cell's outcome read from its
try-media report, the cells that differ from their row's or column's
majority, matrix.txt, matrix.html and the JUnit suites of every cell."""

import html
import json
import os
import re
import subprocess
from xml.etree import ElementTree

from . import prefixes, report

THUMBNAIL_SIZE = "240x180"
CONVERT_SECONDS = 30
# What differs between two runs of the same commands: the times a log line tells.
TIMES = re.compile(r"\b\d+(\.\d+)? ?(ms|s)\b")


class Cell:
    """One trial of the matrix, as its folder tells it."""

    def __init__(self, given, folder, job):
        self.number = given["number"]
        self.given = given
        self.folder = folder
        self.facts = read_json(os.path.join(folder, "report", "report.json"), None)
        self.tried = read_json(os.path.join(folder, "cell.json"), {}).get("try-media")
        self.installed = self.facts is not None and self.tried == 0
        self.problem = None if self.facts else problem_of(folder, job)
        self.items = items_of(self.facts) if self.facts else set()
        self.offer = offer_of(self.facts) if self.facts else None
        self.model = (self.facts or {}).get("machine", {}).get("model")
        # Judged without an empty medium's run: Wine's own changes may frame it.
        self.unjudged = ((self.facts or {}).get("baseline") or "").startswith("failed")
        self.row_difference = self.column_difference = None

    @property
    def column(self):
        windows = "Windows " + (self.given.get("windows") or prefixes.DEFAULT_WINDOWS).upper()
        setup = (os.path.basename(self.given["answers"]) if self.given.get("answers")
                 else "--select " + self.given.get("select", "DEFAULT"))
        return "%s, %s" % (windows, setup)

    @property
    def dump(self):
        return os.path.basename(self.given["smbios"]) if self.given.get("smbios") else "no SMBIOS table"

    @property
    def outcome(self):
        """The exit code and its meaning, or why the cell has no run."""
        if not self.facts:
            return "not tried: " + self.problem
        restarts = len(self.facts.get("restarts", []))
        after = " (after %d restart%s)" % (restarts, "" if restarts == 1 else "s") if restarts else ""
        return "exit code %s: %s%s" % (self.facts["exit"], self.facts["meaning"], after)

    @property
    def box(self):
        """The text of the box that ended the run, if one did."""
        return self._ended_by()[0].replace("\n", " | ")

    @property
    def failed_at(self):
        return self._ended_by()[1]

    def _ended_by(self):
        return report.ended_by(report.run_result(self.facts)) if self.facts else ("", "")

    @property
    def marked(self):
        return any(d and (d[0] or d[1]) for d in (self.row_difference, self.column_difference))


def read_json(path, missing):
    """The data of a JSON file, or `missing` when it can't be read."""
    try:
        with open(path, encoding="utf-8") as data:
            return json.load(data)
    except (OSError, ValueError):
        return missing


def read_joblog(path):
    """{cell number: (host, exit value, signal)} of GNU parallel's job log."""
    jobs = {}
    try:
        with open(path, encoding="utf-8", errors="replace") as log:
            lines = log.read().splitlines()[1:]
    except OSError:
        return jobs
    for line in lines:
        fields = line.split("\t")
        if len(fields) >= 9 and fields[0].isdigit():
            jobs[int(fields[0])] = (fields[1], fields[6], fields[7])
    return jobs


def problem_of(folder, job):
    """Why a cell has no report: what try-media said last, or how the job ended."""
    if job is None:
        return "the cell was never started"
    host, exit_value, signal_number = job
    if signal_number not in ("", "0"):
        return "the cell was stopped (signal %s): it did not end within its time" % signal_number
    try:
        with open(os.path.join(folder, "output.txt"), encoding="utf-8", errors="replace") as output:
            said = [line.strip() for line in output if line.strip()]
    except OSError:
        said = []
    if said:
        return said[-1]
    return "the cell could not be started on %s (exit value %s)" % (host if host != ":" else "this machine",
                                                                     exit_value)


def items_of(facts):
    """What a run did, as comparable lines: files and registry values
    created, changed and removed, and each command with its end."""
    items = set()
    for kind in ("files", "registry"):
        for change, names in facts[kind].items():
            items.update("%s %s: %s" % ("file" if kind == "files" else "registry", change, n) for n in names)
    for command, end in facts["commands"]:
        items.add("command: %s  ->  %s" % (command, TIMES.sub("…", end)))
    return items


def offer_of(facts):
    """(offered, offered though the model could not be read, not offered):
    the INF names of the applications, as the result file's sections of
    them say; None when the run wrote none."""
    statuses = [(section, values.get(report.RESULT.status, ""))
                for section, values in facts.get("result", {}).items() if section != report.RESULT.section]
    if not statuses:
        return None
    unread, other = report.STATUS.model_unread, report.STATUS.not_offered
    return ([name for name, status in statuses if status not in (unread, other)],
            [name for name, status in statuses if status == unread],
            [name for name, status in statuses if status == other])


def offer_text(offer):
    if offer is None:
        return "not told: the run wrote no application's status"
    offered, unread, other = offer
    return "offered: %s%s%s" % (
        ", ".join(offered) or "none",
        "; the model could not be read, offered unchecked: %s" % ", ".join(unread) if unread else "",
        "; not offered: %s" % ", ".join(other) if other else "")


def offer_lines(table):
    """What opens the report: which applications each model is offered, as
    its cells' result files say (per column where its columns differ)."""
    lines = []
    for row in table.rows:
        cells = [c for c in table.row_cells(row) if c.offer is not None]
        told = list(dict.fromkeys(offer_text(c.offer) for c in cells))
        if not told:
            lines.append("%s: not told (no cell wrote the applications' statuses)" % table.row_label(row))
        elif len(told) == 1:
            lines.append("%s: %s" % (table.row_label(row), told[0]))
        else:
            lines += ["%s, %s: %s" % (table.row_label(row), c.column, offer_text(c.offer)) for c in cells]
    return lines


def difference(cell, group):
    """(what the cell did that most of `group` did not, what most did that
    it did not); most is more than half of the group's cells that ran."""
    ran = [c for c in group if c.facts]
    if len(ran) < 2 or not cell.facts:
        return None
    counts = {}
    for each in ran:
        for item in each.items:
            counts[item] = counts.get(item, 0) + 1
    most = {item for item, count in counts.items() if count * 2 > len(ran)}
    return sorted(cell.items - most), sorted(most - cell.items)


class Matrix:
    """The cells in rows (SMBIOS dumps) and columns (Windows and the setup)."""

    def __init__(self, cells):
        self.cells = cells
        self.rows = list(dict.fromkeys(c.given.get("smbios") for c in cells))
        self.columns = list(dict.fromkeys(c.column for c in cells))
        for cell in cells:
            cell.row_difference = difference(cell, self.row_cells(cell.given.get("smbios")))
            cell.column_difference = difference(cell, [c for c in cells if c.column == cell.column])

    def row_cells(self, row):
        return [c for c in self.cells if c.given.get("smbios") == row]

    def row_label(self, row):
        cells = self.row_cells(row)
        model = next((c.model for c in cells if c.model), None)
        return "%s (%s)" % (model, cells[0].dump) if model else cells[0].dump

    def at(self, row, column):
        return next((c for c in self.row_cells(row) if c.column == column), None)

    def summary(self):
        tried = [c for c in self.cells if c.facts]
        unjudged = sum(c.unjudged for c in self.cells)
        return ("%d cell(s): %d installed, %d not, %d not tried; %d differ from their row or column%s"
                % (len(self.cells), sum(c.installed for c in self.cells),
                   sum(not c.installed for c in tried), len(self.cells) - len(tried),
                   sum(c.marked for c in self.cells),
                   "; %d judged without the run of an empty medium" % unjudged if unjudged else ""))


def short_outcome(cell):
    if not cell.facts:
        return "not tried"
    return "%s %s%s" % (cell.facts["exit"], cell.facts["meaning"], " *" if cell.marked else "")


def difference_lines(cell):
    lines = []
    for name, found in (("row", cell.row_difference), ("column", cell.column_difference)):
        if not found:
            continue
        extra, missing = found
        lines += ["here, not in most of its %s: %s" % (name, item) for item in extra]
        lines += ["in most of its %s, not here: %s" % (name, item) for item in missing]
    return lines


def sides(found):
    """What a cell did that most of its group did not, and the reverse, as lines."""
    extra, missing = found or ([], [])
    return ["only here: %s" % item for item in extra] + ["not here: %s" % item for item in missing]


def real_differences(table):
    """What opens the report: per model, what its cells did unlike most of
    their column (in which columns); per column, what its cells did unlike
    most of their row (on which models)."""
    models = [(table.row_label(row), [(c.column_difference, c.column) for c in table.row_cells(row)])
              for row in table.rows]
    columns = [(column, [(c.row_difference, table.row_label(c.given.get("smbios")))
                         for c in table.cells if c.column == column]) for column in table.columns]
    lines = []
    for name, cells in models + columns:
        found = {}
        for against, where in cells:
            for line in sides(against):
                found.setdefault(line, []).append(where)
        lines += ["%s: %s  (%s)" % (name, line, "; ".join(places)) for line, places in found.items()]
    return lines or ["none: every cell did what most of its row and of its column did"]


def write_text(path, discs, table):
    first = ["model"] + table.columns
    rows = [first] + [[table.row_label(r)] + [short_outcome(table.at(r, c)) if table.at(r, c) else ""
                                              for c in table.columns] for r in table.rows]
    widths = [max(len(row[i]) for row in rows) for i in range(len(first))]
    with open(path, "w", encoding="utf-8") as text:
        text.write("try-matrix: %s\n%s\n\n" % (" ".join(discs), table.summary()))
        text.write("The applications offered, per model\n%s\n" % "".join("  %s\n" % line for line in offer_lines(table)))
        text.write("The differences (per model against its column, per column against its row)\n%s\n"
                   % "".join("  %s\n" % line for line in real_differences(table)))
        for row in rows:
            text.write(" | ".join(field.ljust(width) for field, width in zip(row, widths)).rstrip() + "\n")
        text.write("\n* differs from its row's or column's majority\n")
        for cell in table.cells:
            text.write("\ncell %d: %s, %s\n  %s\n" % (cell.number, table.row_label(cell.given.get("smbios")),
                                                     cell.column, cell.outcome))
            if cell.box:
                text.write("  the box that ended the run: %s\n  at: %s\n" % (cell.box, cell.failed_at))
            if cell.unjudged:
                text.write("  judged without the run of an empty medium (%s): Wine's own changes may differ\n"
                           % cell.facts["baseline"])
            if cell.facts:
                text.write("  %s\n" % offer_text(cell.offer))
                text.write("  report: cells/%d/report/report.txt\n" % cell.number)
            for line in difference_lines(cell):
                text.write("  %s\n" % line)


def thumbnail(out, cell):
    """A small picture of the cell's last window, its path within `out`, or None."""
    picture = (cell.facts or {}).get("last_picture")
    if not picture:
        return None
    source = os.path.join(cell.folder, "report", picture)
    shown = os.path.join("thumbs", "%d.png" % cell.number)
    os.makedirs(os.path.join(out, "thumbs"), exist_ok=True)
    # A screen of one colour (a run without a background that ended with
    # no window open) is no picture worth showing.
    colours = convert([source, "-format", "%k", "info:"])
    if colours is not None and colours.strip() == b"1":
        return None
    made = convert([source, "-thumbnail", THUMBNAIL_SIZE, os.path.join(out, shown)]) is not None
    return shown if made else os.path.relpath(source, out)


def convert(arguments):
    """ImageMagick's output, or None when it failed."""
    try:
        done = subprocess.run(["convert"] + arguments, capture_output=True, timeout=CONVERT_SECONDS)
    except (OSError, subprocess.TimeoutExpired):
        return None
    return done.stdout if done.returncode == 0 else None


def html_cell(out, cell):
    if cell is None:
        return "<td></td>"
    kind = "installed" if cell.installed else ("untried" if not cell.facts else "failed")
    parts = ["<td class='%s%s'>" % (kind, " marked" if cell.marked else "")]
    if cell.facts:
        parts.append("<a href='cells/%d/report/report.html'>%s</a>" % (cell.number, html.escape(cell.outcome)))
    else:
        parts.append(html.escape(cell.outcome))
    if cell.box:
        parts.append("<div class='box'>%s</div>" % html.escape(cell.box))
    if cell.facts:
        parts.append("<div class='offer'>%s</div>" % html.escape(offer_text(cell.offer)))
    picture = thumbnail(out, cell)
    if picture:
        parts.append("<br><img src='%s' alt='the last window'>" % html.escape(picture))
    lines = difference_lines(cell)
    if lines:
        parts.append("<details><summary>differs from the majority</summary><ul>%s</ul></details>"
                     % "".join("<li>%s</li>" % html.escape(l) for l in lines))
    return "".join(parts) + "</td>"


def write_html(out, discs, table):
    with open(os.path.join(out, "matrix.html"), "w", encoding="utf-8") as page:
        page.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>try-matrix</title><style>"
                   "body{font-family:sans-serif} table{border-collapse:collapse} td,th{border:1px solid #999;"
                   "padding:6px;vertical-align:top;max-width:300px;overflow-wrap:anywhere} .installed{background:#e6f4e6}"
                   ".failed{background:#fbe3e3} .untried{background:#eee} .marked{outline:3px solid #e0a000;"
                   "outline-offset:-3px} .box,.offer{font-size:90%;margin-top:4px} img{border:1px solid #888;"
                   "margin-top:4px}</style></head><body>\n")
        page.write("<h1>try-matrix: %s</h1>\n<p>%s; a cell framed in orange differs from its row's or "
                   "column's majority.</p>\n" % (html.escape(" ".join(os.path.basename(d) for d in discs)),
                                                  html.escape(table.summary())))
        page.write("<h2>The applications offered, per model</h2>\n<ul>%s</ul>\n" % "".join(
            "<li>%s</li>" % html.escape(line) for line in offer_lines(table)))
        page.write("<h2>The differences</h2>\n<ul>%s</ul>\n" % "".join(
            "<li>%s</li>" % html.escape(line) for line in real_differences(table)))
        page.write("<table><tr><th>model</th>%s</tr>\n" % "".join("<th>%s</th>" % html.escape(c)
                                                                  for c in table.columns))
        for row in table.rows:
            page.write("<tr><th>%s</th>%s</tr>\n" % (html.escape(table.row_label(row)),
                                                     "".join(html_cell(out, table.at(row, c))
                                                             for c in table.columns)))
        page.write("</table></body></html>\n")


def junit_suite_of(cell, row_label):
    """The cell's JUnit suite, named after its row and column; a cell that
    could not be tried is one failed test case."""
    name = "%s, %s" % (row_label, cell.column)
    try:
        suite = ElementTree.parse(os.path.join(cell.folder, "junit.xml")).getroot().find("testsuite")
    except (OSError, ElementTree.ParseError):
        suite = None
    if suite is None or not cell.facts:
        suite = report.new_junit_suite(name)
        case = ElementTree.SubElement(suite, "testcase", name="the run", time="0")
        ElementTree.SubElement(case, "failure", type="not tried", message=cell.outcome)
        report.count_junit_cases(suite, 0)
    suite.set("name", name)
    for case in suite.findall("testcase"):
        case.set("classname", name)
    return suite


def read_cells(folder, cells_given, jobs):
    return [Cell(given, os.path.join(folder, str(given["number"])), jobs.get(given["number"])) for given in cells_given]
