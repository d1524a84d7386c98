"""try-media's readers on their own: the core's facts, the setup log, the
result file and the answer file of a trial, the prepared prefixes, and the
matrix report's comparison of cells."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from trymedia import answers, facts, matrix, prefixes, report, watch  # noqa: E402
from types import SimpleNamespace  # noqa: E402


class Facts(unittest.TestCase):
    def test_exit_codes_and_what_counts_as_installed(self):
        codes = facts.exit_codes()
        self.assertEqual(sorted(code for code, (_, installed) in codes.items() if installed), [0, 10])
        self.assertEqual(codes[8][0], "stopped from outside")


class SetupLog(unittest.TestCase):
    LOG = ("2026-12-08 10:00:00.000 chosen: \"ﾃﾞｰﾀ\" (R:\\QVDATA.INF)\r\n"
           "2026-12-08 10:00:00.010 command COPY \"R:\\A\" \"C:\\A\", drive check DISC2\r\n"
           "2026-12-08 10:00:00.020 drive check DISC2: looking for R:\\表\\DISC2.ID\r\n"
           "2026-12-08 10:00:01.020 COPY done\r\n"
           "2026-12-08 10:00:01.030 command PROG \"x.exe\" \"\"\r\n"
           "2026-12-08 10:00:02.030 PROG's program ended after 1000 ms with exit code 3\r\n"
           "2026-12-08 10:00:02.040 command EPROG \"y.exe\" \"\"\r\n"
           "2026-12-08 10:00:02.050 EXIST still finds nothing after 2 s (ExistTimeout)\r\n"
           "2026-12-08 10:00:02.060 command PROG \"z.exe\" \"\"\r\n"
           "2026-12-08 10:00:02.070 PROG ended the run\r\n").encode("cp932")

    def test_the_story_of_a_run(self):
        chosen, commands, programs = watch.log_story(watch.read_log_lines(self.LOG))
        self.assertEqual(chosen, ["chosen: \"ﾃﾞｰﾀ\" (R:\\QVDATA.INF)"])
        self.assertEqual([end for _, end in commands],
                         ["COPY done", "PROG's program ended after 1000 ms with exit code 3",
                          "EXIST still finds nothing after 2 s (ExistTimeout)", "PROG ended the run"])
        self.assertEqual(commands[0][0], "COPY \"R:\\A\" \"C:\\A\" (drive check DISC2)")
        # A program that could not start is told so.
        self.assertEqual([end for _, end in programs],
                         ["PROG's program ended after 1000 ms with exit code 3", "EPROG: not waited for",
                          "not started: PROG ended the run"])

    def test_prompts_and_lines_still_being_written(self):
        lines = watch.read_log_lines(self.LOG)
        self.assertEqual(watch.prompt_of(lines[2]), ("DISC2", "R", "表\\DISC2.ID"))
        self.assertIsNone(watch.prompt_of(lines[3]))
        follower = watch.LogFollower(lambda offset: (self.LOG + b"2026-12-08 10:00:03.000 half a li")[offset:])
        self.assertEqual(len(follower.new_lines()), 10)
        self.assertEqual(follower.new_lines(), [])


class Restarts(unittest.TestCase):
    """A run's log across restarts: each start of qvsetup, whether the last
    one stopped for a restart, after which command, and its exit code."""
    STARTED = "2026-12-08 10:00:00.000 qvsetup 1.1 started on Windows 5.0.2195 (NT family), administrator: YES\r\n"
    LOG = (STARTED + "2026-12-08 10:00:00.010 chosen: \"A\" (R:\\QVA.INF)\r\n"
           "2026-12-08 10:00:00.020 command SHUTDOWN \"\" \"1\"\r\n"
           "2026-12-08 10:00:00.030 the journal stays: the run goes on when Windows starts again\r\n"
           "2026-12-08 10:00:00.040 qvsetup ends with exit code 10\r\n" + STARTED +
           "2026-12-08 10:00:01.010 chosen: \"A\" (R:\\QVA.INF)\r\n"
           "2026-12-08 10:00:01.020 command PROG \"x.exe\" \"\"\r\n"
           "2026-12-08 10:00:02.000 Windows ends the session\r\n"
           "2026-12-08 10:00:02.000 the session ends while PROG's program runs (980 ms): its restart, taken as its end\r\n"
           "2026-12-08 10:00:02.010 the journal stays: the run goes on when Windows starts again\r\n")

    def test_each_stop_for_a_restart_and_the_last_start(self):
        lines = watch.read_log_lines(self.LOG.encode("cp932"))
        self.assertEqual(watch.restarts_of(lines), [(1, 'SHUTDOWN "" "1"', False), (2, 'PROG "x.exe" ""', True)])
        self.assertTrue(watch.stopped_for_restart(lines))
        self.assertIsNone(watch.exit_code_of_last_start(lines))
        ended = watch.read_log_lines((self.LOG + self.STARTED + "2026-12-08 10:00:03.000 COPY done\r\n"
                                      "2026-12-08 10:00:03.010 every chosen application is done\r\n"
                                      "2026-12-08 10:00:03.020 qvsetup ends with exit code 0\r\n").encode("cp932"))
        self.assertFalse(watch.stopped_for_restart(ended))
        self.assertEqual(watch.exit_code_of_last_start(ended), 0)
        chosen, commands, _ = watch.log_story(lines)
        self.assertEqual(chosen, ['chosen: "A" (R:\\QVA.INF)'])
        self.assertTrue(commands[1][1].startswith("the session ends while PROG's program runs"))
        # A line about the run is no command's end.
        self.assertFalse(watch.ends_command("every chosen application is done", 'COPY "a" "b"'))


class ResultFile(unittest.TestCase):
    def test_values_read_back_exactly(self):
        data = ("[Result]\r\nExitCode=3\r\n"
                "Message=ﾌｧｲﾙの展開に失敗しました.\\nC:\\\\new\\\\x.txt\r\n"
                "FailedAt=R:\\\\表n\\\\QVA.INF: line 8, [Install]: COPY,C:\\\\new\\\\x.txt\r\n"
                "[QVA.INF]\r\nStatus=failed\r\n").encode("cp932")
        result = report.read_result(data)
        self.assertEqual(result["Result"]["Message"], "ﾌｧｲﾙの展開に失敗しました.\nC:\\new\\x.txt")
        self.assertEqual(result["Result"]["FailedAt"], "R:\\表n\\QVA.INF: line 8, [Install]: COPY,C:\\new\\x.txt")
        self.assertEqual(result["QVA.INF"]["Status"], "failed")


    def test_the_junit_writer_on_a_recorded_failed_run(self):
        data = ("[Result]\r\nExitCode=3\r\nReason=a command failed\r\n"
                "Message=ﾌｧｲﾙの展開に失敗しました.\\nC:\\\\x.txt\r\nFailedAt=R:\\\\QVB.INF: line 8\r\nSeconds=4\r\n"
                "[QVA.INF]\r\nStatus=done\r\nSeconds=1\r\n[QVB.INF]\r\nStatus=failed\r\nSeconds=2\r\n"
                "[QVC.INF]\r\nStatus=not reached\r\nSeconds=0\r\n[QVD.INF]\r\nStatus=paused\r\nSeconds=0\r\n"
                ).encode("cp932")
        recorded = {"result": report.read_result(data), "exit": 3, "meaning": "a command failed", "seconds": 4.2}
        suite = report.junit_suite("trial", recorded, installed=False)
        cases = {case.get("name"): case for case in suite.findall("testcase")}
        self.assertEqual(sorted(cases), ["QVA.INF", "QVB.INF", "QVC.INF", "QVD.INF", "the run"])
        self.assertEqual(cases["the run"].find("failure").text, "ﾌｧｲﾙの展開に失敗しました.\nC:\\x.txt\nR:\\QVB.INF: line 8")
        self.assertIsNone(cases["QVA.INF"].find("failure"))
        self.assertEqual(cases["QVB.INF"].find("failure").get("message"), "ﾌｧｲﾙの展開に失敗しました. | C:\\x.txt")
        self.assertEqual(cases["QVB.INF"].get("time"), "2")
        self.assertEqual(cases["QVC.INF"].find("skipped").get("message"), "not reached")
        self.assertEqual(cases["QVD.INF"].find("failure").get("type"), "paused")
        self.assertEqual((suite.get("tests"), suite.get("failures"), suite.get("skipped")), ("5", "3", "1"))
        # The matrix reads the same box and place from the recorded run.
        cell = matrix.Cell.__new__(matrix.Cell)
        cell.facts = recorded
        self.assertEqual((cell.box, cell.failed_at), ("ﾌｧｲﾙの展開に失敗しました. | C:\\x.txt", "R:\\QVB.INF: line 8"))


class RegistryFiles(unittest.TestCase):
    SYSTEM = ('WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win32\n\n'
              '[Software\\\\QvTry\\\\\\x8868] 1700000000\n#time=1d9\n'
              '@="C:\\\\Program Files\\\\Q \\"1\\""\n'
              '"IPA P\\x30b4\\x30b7 (TrueType)"="x"\n'
              '"Bin"=hex:01,02,\\\n  03,04\n"Bell"="\\a\\033\\x30b4f"\n'
              '"Pair"="\\xd83d\\xde00 \\xd800"\n')

    def test_keys_values_and_escapes_as_wine_writes_them(self):
        with tempfile.TemporaryDirectory() as prefix:
            with open(os.path.join(prefix, "system.reg"), "w", encoding="utf-8") as system:
                system.write(self.SYSTEM)
            with open(os.path.join(prefix, "user.reg"), "w", encoding="utf-8") as user:
                user.write("[Environment] 1\n\"TEMP\"=str(2):\"%USERPROFILE%\"\n")
            key = "HKEY_LOCAL_MACHINE\\Software\\QvTry\\表\\"
            self.assertEqual(report.read_registry_files(prefix), {
                key: "(key)", key + "@": '"C:\\Program Files\\Q "1""',
                key + "IPA Pゴシ (TrueType)": '"x"', key + "Bin": "hex:01,02,03,04",
                key + "Bell": '"\a\x1bゴf"', key + "Pair": '"\U0001f600 \ufffd"',
                "HKEY_CURRENT_USER\\Environment\\": "(key)",
                "HKEY_CURRENT_USER\\Environment\\TEMP": 'str(2):"%USERPROFILE%"'})


class AnswerFile(unittest.TestCase):
    def test_the_trial_sets_log_and_result_and_nothing_else(self):
        given = b"; line\r\n[unattended]\r\nLog=D:\\MINE.LOG\r\nSelect=ALL\r\n result = X\r\n"
        self.assertEqual(answers.with_log_and_result(given, "C:\\L", "C:\\R"),
                         b"; line\r\n[unattended]\r\nLog=C:\\L\r\nResult=C:\\R\r\nSelect=ALL\r\n")
        # No [Unattended] (a byte order mark before it hides it): as given.
        for unrefused in (b"[Unatended]\r\nSelect=ALL\r\n", b"\xef\xbb\xbf[Unattended]\r\n"):
            self.assertEqual(answers.with_log_and_result(unrefused, "C:\\L", "C:\\R"), unrefused)
        self.assertEqual(answers.made_answers({"Result": "C:\\R", "Select": "ALL"}),
                         b"[Unattended]\r\nSelect=ALL\r\nResult=C:\\R\r\n")
        # The run's own log and result are followed where they name a path
        # on C: (macros as qvsetup expands them there); elsewhere the trial's
        # own take their place, and the notes say so.
        trial = ("C:\\QVTRY\\SETUP.LOG", "C:\\QVTRY\\RESULT.INI")
        medium = b"[QvSetupConfig]\r\nLOG=%WINDIR%\\QV.LOG\r\n[Other]\r\nLOG=X\r\n"
        files = answers.RunFiles(medium, b"[Unattended]\r\nResult=c:\\QA\\R.INI\r\n", *trial)
        self.assertEqual((files.log, files.result, files.gives_log, files.gives_result),
                         ("C:\\windows\\QV.LOG", "C:\\QA\\R.INI", False, False))
        files = answers.RunFiles(medium, given, *trial)      # Log=D:\MINE.LOG, Result=X
        self.assertEqual((files.log, files.result), trial)
        self.assertEqual(answers.own_answers(given, files),
                         answers.with_log_and_result(given, *trial))
        self.assertTrue(all("names no path on C:" in note for note in files.notes), files.notes)
        for unplaced in ("%WINSYSDIR%\\QV.LOG", "R.INI", "C:\\", "C:\\..\\R.INI", "%WINDIR", "C:/QA/R.INI",
                         "%BOOTDISK%:\\R.INI", "C:\\\"QA\"\\R.INI", "C:\\QA\\R.INI.", "C:\\" + "Q\\" * 130):
            self.assertIsNone(answers.path_on_c(unplaced), unplaced)


class AttendedVerdict(unittest.TestCase):
    """An attended run ends with 0 whatever happens: the log of its last
    start alone tells whether it went its way."""
    START = "qvsetup 1.1 started on Windows 5.0.2195 (NT family), administrator: YES"
    STAYS = "the journal stays: the run goes on when Windows starts again"

    def verdict(self, *events, kept=False):
        return watch.attended_verdict([self.START] + list(events), kept)[0]

    def test_only_a_run_that_went_its_way_is_done(self):
        self.assertTrue(self.verdict("COPY done", "every chosen application is done"))
        self.assertTrue(self.verdict("ATTENTION ended the run"))
        self.assertTrue(self.verdict("Windows is about to restart", "SHUTDOWN done"))
        self.assertTrue(self.verdict("the interrupted run has nothing left to run"))
        for failed in (["COPY ended the run"], ["the drive check ended the run"], ["nothing is chosen to run"],
                       ["Cancel pressed: [CancelInstall] runs", "every chosen application is done"], [],
                       ["Windows is about to restart", "SHUTDOWN ended the run", self.STAYS]):
            self.assertFalse(self.verdict(*failed), failed)
        self.assertFalse(self.verdict("every chosen application is done", kept=True))
        self.assertFalse(watch.attended_verdict([self.START, "every chosen application is done",
                                                 self.START, "COPY ended the run"], False)[0])
        self.assertFalse(watch.attended_verdict([], False)[0])


class Baseline(unittest.TestCase):
    """What an empty medium's run changes: left out only where a run changed
    the same name the same way, and made again only when what makes it
    changed (a failed making stands a while)."""

    def test_only_the_same_change_is_left_out(self):
        facts = {"files": [["C:\\A", "C:\\B"], [], []], "registry": [[], ["HKCU\\X\\v"], ["HKCU\\Y\\w"]]}
        values = report.change_values(facts, {"C:\\A": (3, 1), "C:\\B": (4, 1)}, {"HKCU\\X\\v": '"new"'})
        baseline = {"changes": {"files": {"C:\\A": ["created", 3], "C:\\B": ["created", 5]},
                                "registry": {"HKCU\\X\\v": ["changed", '"old"'], "HKCU\\Y\\w": ["removed", None]}}}
        self.assertEqual(report.leave_out_churn(facts, values, baseline),
                         {"files": ["C:\\A"], "registry": ["HKCU\\Y\\w"]})
        self.assertEqual(facts, {"files": [["C:\\B"], [], []], "registry": [[], ["HKCU\\X\\v"], []]})
        self.assertIn("failed", report.leave_out_churn(facts, values, {"failed": "why"}))

    def test_made_once_for_what_makes_it(self):
        with tempfile.TemporaryDirectory() as cache:
            prepared = os.path.join(cache, "win32-xp-0123", "prefix")
            os.makedirs(prepared)
            made = []
            make = lambda: made.append(1) or {"changes": {"files": {}, "registry": {}}}  # noqa: E731
            first = prefixes.cached_baseline(prepared, "A", make)
            self.assertEqual(prefixes.cached_baseline(prepared, "A", make), first)
            prefixes.cached_baseline(prepared, "B", make)
            self.assertEqual(len(made), 2)
            with open(os.path.join(os.path.dirname(prepared), prefixes.BASELINE), "w") as spoilt:
                spoilt.write('{"inputs": "B", "made": "then", "changes": 1}')
            prefixes.cached_baseline(prepared, "B", make)
            self.assertEqual(len(made), 3)
            # Kept changes read back from the file still match a run's own values.
            facts = {"files": [["C:\\A"], [], []], "registry": [[], [], []]}
            values = report.change_values(facts, {"C:\\A": (3, 1)}, {})
            prefixes.cached_baseline(prepared, "R", lambda: {"changes": values})
            kept = prefixes.cached_baseline(prepared, "R", make)
            self.assertEqual(report.leave_out_churn(facts, values, kept)["files"], ["C:\\A"])
            prefixes.cached_baseline(prepared, "C", lambda: {"failed": "why"})
            self.assertEqual(prefixes.cached_baseline(prepared, "C", make)["failed"], "why")
            self.assertEqual(len(made), 3)


class PreparedPrefixes(unittest.TestCase):
    def test_only_a_prefix_made_to_its_end_and_whole_is_used(self):
        with tempfile.TemporaryDirectory() as cache:
            entry = os.path.join(cache, "win32-xp-0123")
            os.makedirs(os.path.join(entry, "prefix"))
            self.assertFalse(prefixes.is_whole(entry))      # cut off before it was marked
            open(os.path.join(entry, prefixes.READY), "w").close()
            self.assertFalse(prefixes.is_whole(entry))      # marked, but its registry is gone
            open(os.path.join(entry, "prefix", "system.reg"), "w").close()
            self.assertTrue(prefixes.is_whole(entry))


def ran(*items):
    """A cell of a matrix that ran, and did `items`."""
    return SimpleNamespace(facts={"ran": True}, items=set(items))


class MatrixComparison(unittest.TestCase):
    def test_the_odd_cell_is_told_and_the_times_of_a_run_are_not(self):
        facts_of = lambda file, ms: {"files": {"created": [file], "changed": [], "removed": []},
                                     "registry": {"created": [], "changed": [], "removed": []},
                                     "commands": [["PROG \"A.EXE\"", "ended after %d ms with exit code 0" % ms]]}
        self.assertEqual(matrix.items_of(facts_of("C:\\A", 12)), matrix.items_of(facts_of("C:\\A", 3456)))
        common, odd = ran("a", "b"), ran("a", "c")
        self.assertEqual(matrix.difference(odd, [common, ran("a", "b"), odd]), (["c"], ["b"]))
        self.assertEqual(matrix.difference(common, [common, ran("a", "b"), odd]), ([], []))
        # A cell that never ran is left out of the count, and is compared with nothing.
        untried = SimpleNamespace(facts=None, items=set())
        self.assertEqual(matrix.difference(odd, [common, odd, untried]), (["c"], []))
        self.assertIsNone(matrix.difference(untried, [common, odd, untried]))
        self.assertIsNone(matrix.difference(odd, [odd, untried]))

    def test_each_model_is_told_what_it_was_offered(self):
        status = report.RESULT.status
        result = lambda **apps: {"result": dict({report.RESULT.section: {"ExitCode": "0"}},
                                                **{a + ".INF": {status: s.replace("_", " ")} for a, s in apps.items()})}
        self.assertEqual(matrix.offer_of(result(A="done", B="not_offered", C="model_unread", D="not_chosen")),
                         (["A.INF", "D.INF"], ["C.INF"], ["B.INF"]))
        self.assertIsNone(matrix.offer_of(result()))   # a run that ended before the choice
        # One line a model whose cells agree; one a cell where they differ,
        # and a model whose runs told nothing says so.
        cell = lambda row, column, facts: SimpleNamespace(
            given={"smbios": row}, column=column, model=row, dump=row,
            offer=matrix.offer_of(facts) if facts else None)
        server, other = result(A="done", S="done"), result(A="done", S="not_offered")
        table = SimpleNamespace(rows=["P", "V", "X"], row_label=lambda row: row,
                                row_cells=lambda row: [c for c in cells if c.given["smbios"] == row])
        cells = [cell("P", "2000", server), cell("P", "xp", server), cell("V", "2000", other),
                 cell("V", "xp", result(A="done", S="model_unread")), cell("X", "2000", None)]
        self.assertEqual(matrix.offer_lines(table), [
            "P: offered: A.INF, S.INF",
            "V, 2000: offered: A.INF; not offered: S.INF",
            "V, xp: offered: A.INF; the model could not be read, offered unchecked: S.INF",
            "X: not told (no cell wrote the applications' statuses)"])


if __name__ == "__main__":
    unittest.main()
