// Benchmark of qvsetup.exe (reported, not a test): the time from start to
// the visible selection dialog with 10 and 500 application INFs; the pace
// of 2,000 commands that finish at once against the tick, with and
// without the setup log; XCOPYA of a tree against Wine's xcopy.exe (with
// the dialog asked every 5 ms, for its answer time) and of nested folders
// timed from outside with nothing sent to it; qvcheck on big sections; and a run whose PROG waits 10 s, during which
// tools/run-benchmarks measures the CPU time that qvsetup.exe uses.
// setup_benchmark MARK_FILE: the waiting run writes its media folder, which
// names exactly that qvsetup.exe, to MARK_FILE while it waits, and removes
// it once the measure's time is over. setup_benchmark --copies: the tree
// copies alone.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

DWORD MillisecondsToDialog(const MediaFolder& media)
{
    const DWORD start = GetTickCount();
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog(120000);
    const DWORD elapsed = GetTickCount() - start;
    if (dialog)
        PressButton(dialog, IDCANCEL);
    DWORD exitCode = 0;
    run.WaitForExit(30000, &exitCode);
    return dialog ? elapsed : 0;
}

// `applications` INFs, of which the last `unsignedOnes` have no signature
// line and are passed over.
void ReportDialogTime(int applications, int unsignedOnes = 0)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=MULTI"});
    for (int i = 0; i < applications; ++i) {
        const std::string name = "QV" + std::to_string(i) + ".INF";
        const AppInf app{"Application " + std::to_string(i), {"SLEEP,1", "SLEEP,1"}, {}, ""};
        media.WriteApp(name, app);
        if (i >= applications - unsignedOnes) {
            std::string text = ReadBytes(media.Path(name));
            const std::string signature = "signature=$QVSETUP$\r\n";
            text.erase(text.find(signature), signature.size());
            WriteBytes(media.Path(name), text);
        }
    }
    std::vector<DWORD> times;
    for (int round = 0; round < 5; ++round)
        times.push_back(MillisecondsToDialog(media));
    std::sort(times.begin(), times.end());
    printf("start to visible selection dialog, %d application INFs%s: median %lu ms (min %lu, max %lu)\n",
           applications,
           unsignedOnes ? (", " + std::to_string(unsignedOnes) + " of them unsigned").c_str() : "",
           times[2], times.front(), times.back());
}

// Runs one application to its end through the dialog; false when it failed.
bool InstallAndWait(const MediaFolder& media, DWORD timeoutMs)
{
    SetupRun run(media.folder());
    return run.StartInstall(20000) && static_cast<bool>(RunExits(run, timeoutMs));
}

// 2,000 DELETEs of a missing file between two stamps: the time they take
// against 2,000 ticks, with or without a setup log.
bool ReportPace(int tick, bool logged)
{
    constexpr int CommandCount = 2000;
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "SIGNAL=" + std::to_string(tick),
                                logged ? "LOG=" + media.Path("PACE.LOG") : ""});
    AppInf app{"Pace", {"PROG," + media.Stamp("first")}, {}, ""};
    for (int i = 0; i < CommandCount; ++i)
        app.install.push_back("DELETE," + media.Path("NOSUCH.TXT"));
    app.install.push_back("PROG," + media.Stamp("last"));
    media.WriteApp("QVA.INF", app);
    if (!InstallAndWait(media, 600000)) {
        printf("pace at SIGNAL %d%s: the run failed\n", tick, logged ? ", logged" : "");
        return false;
    }
    const std::vector<Stamp> stamps = ReadStamps(media.StampFile());
    // From the first stamp program to the last: the first's own tick and
    // the 2,000 deletions' ticks.
    const DWORD elapsed = StampTick(stamps, "last") - StampTick(stamps, "first");
    const double asked = static_cast<double>(CommandCount + 1) * tick;
    printf("pace, %d commands at SIGNAL %d%s: %lu ms against %.0f ms of ticks (%+.1f %%)\n",
           CommandCount, tick, logged ? " with the log" : "", elapsed, asked,
           100.0 * (elapsed - asked) / asked);
    return true;
}

// qvcheck.exe on 500 application INFs of 50 lines each: the median of
// three runs.
bool ReportCheckTime()
{
    constexpr int Applications = 500;
    constexpr int LinesPerInf = 50;
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=MULTI"});
    for (int i = 0; i < Applications; ++i) {
        AppInf app{"Application " + std::to_string(i), {}, {"Default=YES"}, "A description"};
        for (int line = static_cast<int>(app.version.size()) + 6; line < LinesPerInf; ++line)
            app.install.push_back("COPY,%WINDIR%\\FILE" + std::to_string(line) + ".TXT,%PROGRAMFILES%\\APP\\FILE.TXT");
        media.WriteApp("QV" + std::to_string(i) + ".INF", app);
    }
    std::vector<DWORD> times;
    for (int round = 0; round < 3; ++round) {
        const DWORD start = GetTickCount();
        std::string report;
        const RunResult run = RunProgram("\"" + BuildProgram("qvcheck.exe") + "\" \"" + media.folder() + "\"",
                                         120000, nullptr, &report);
        if (run.exitCode != 0) {
            printf("qvcheck on %d application INFs: failed with exit code %lu\n", Applications,
                   run.exitCode);
            return false;
        }
        times.push_back(GetTickCount() - start);
    }
    std::sort(times.begin(), times.end());
    printf("qvcheck, %d application INFs of %d lines: median %lu ms (min %lu, max %lu)\n",
           Applications, LinesPerInf, times[1], times.front(), times.back());
    return true;
}

// XCOPYA of 2,000 files (10 KB each) in 50 folders, and xcopy.exe /E /I.
// qvcheck.exe on one application INF with 200,000 [CheckCdrom] keys, then
// with 200,000 [Install] lines: the checker reads them in linear time.
bool ReportBigSectionCheck()
{
    constexpr int Lines = 200000;
    bool measured = true;
    for (const bool keys : {true, false}) {
        std::string text = "[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=A\r\n[Install]\r\n";
        text.reserve(static_cast<size_t>(Lines) * 24);
        if (keys) {
            text += "SLEEP,1\r\n[CheckCdrom]\r\n";
            for (int i = 0; i < Lines; ++i)
                text += "KEY" + std::to_string(i) + "=\\DISC.ID\r\n";
        } else {
            for (int i = 0; i < Lines; ++i)
                text += "SLEEP," + std::to_string(i % 10) + "\r\n";
        }
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
        WriteBytes(media.folder() + "\\QVA.INF", text);
        const DWORD start = GetTickCount();
        std::string report;
        const RunResult run = RunProgram("\"" + BuildProgram("qvcheck.exe") + "\" \"" + media.folder() + "\"",
                                         300000, nullptr, &report);
        const char* what = keys ? "[CheckCdrom] keys" : "[Install] lines";
        if (run.exitCode != 0) {
            printf("qvcheck on %d %s: failed with exit code %lu\n", Lines, what, run.exitCode);
            measured = false;
            continue;
        }
        printf("qvcheck on one application INF of %d %s: %lu ms (5,000 ms at most)\n", Lines, what,
               GetTickCount() - start);
    }
    return measured;
}

// The interval at which a 5 ms timer of this system really ticks.
double TimerFloorMs()
{
    constexpr int Ticks = 100;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, nullptr);
    const DWORD start = GetTickCount();
    MSG message;
    for (int ticks = 0; ticks < Ticks && GetMessageA(&message, nullptr, 0, 0) > 0;) {
        if (message.message == WM_TIMER)
            ++ticks;
    }
    KillTimer(nullptr, timer);
    return static_cast<double>(GetTickCount() - start) / Ticks;
}

struct CopyRun {
    bool copied;
    DWORD milliseconds;
    DWORD longestGapMs;     // the longest the copy dialog took to answer a message
};

// XCOPYA of `source` by qvsetup, asking the copy dialog every 5 ms to
// answer a message, from the start of the run to its end.
CopyRun TimeTreeCopy(const std::string& source, const std::string& config)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", config});
    media.WriteApp("QVA.INF", AppInf{"Copy", {"XCOPYA," + source + "," + media.Path("COPY")},
                                     {}, ""});
    CopyRun copy = {false, 0, 0};
    const DWORD start = GetTickCount();
    SetupRun run(media.folder());
    if (!run.StartInstall(20000))
        return copy;
    DWORD exitCode = 1;
    while (!run.WaitForExit(5, &exitCode) && GetTickCount() - start < 600000) {
        HWND dialog = run.WaitForCopyDialog(0);
        const DWORD asked = GetTickCount();
        DWORD_PTR answer = 0;
        if (dialog && SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer))
            copy.longestGapMs = std::max(copy.longestGapMs, GetTickCount() - asked);
    }
    copy.milliseconds = GetTickCount() - start;
    copy.copied = run.WaitForExit(0, &exitCode) && exitCode == 0;
    return copy;
}

DWORD TimeXcopy(const std::string& source)
{
    const std::string target = MakeTempFolder("xcopy");
    const DWORD start = GetTickCount();
    const RunResult xcopy = RunProgram("xcopy.exe " + source + " " + target + "\\COPY /E /I /Q", 600000);
    const DWORD elapsed = GetTickCount() - start;
    RemoveTree(target);
    return xcopy.exitCode == 0 ? elapsed : 0;
}

void ReportTreeCopy()
{
    const std::string source = MakeTempFolder("tree");
    for (int folder = 0; folder < 50; ++folder) {
        const std::string path = source + "\\F" + std::to_string(folder);
        CreateDirectoryA(path.c_str(), nullptr);
        for (int file = 0; file < 40; ++file)
            WriteBytes(path + "\\FILE" + std::to_string(file) + ".DAT", std::string(10240, 'x'));
    }
    const CopyRun paced = TimeTreeCopy(source, "");
    const CopyRun fast = TimeTreeCopy(source, "FASTCOPY=YES");
    const DWORD theirs = TimeXcopy(source);
    // Entries: 2,000 files, 50 folders, and "." and ".." in every folder.
    const int entries = 2000 + 50 + 2 * 51;
    printf("tree copy, 2,000 files in 50 folders (20 MB): xcopy.exe %lu ms%s\n", theirs,
           theirs ? "" : " (failed)");
    printf("  XCOPYA %lu ms%s: %.2f ms per entry, the timer's floor here %.2f ms\n", paced.milliseconds,
           paced.copied ? "" : " (failed)", static_cast<double>(paced.milliseconds) / entries,
           TimerFloorMs());
    // Messages every 5 ms change the copy's pace: this run tells only how
    // soon the dialog answers; the pace is timed from outside, below.
    printf("  XCOPYA with FASTCOPY=YES, its dialog asked every 5 ms%s: it answered within %lu ms at "
           "worst (100 ms at most)\n",
           fast.copied ? "" : " (failed)", fast.longestGapMs);
    RemoveTree(source);
}

// The copy as a person sees it: an unattended run whose one command is an
// XCOPYA of `source` (`config` in its settings), started and waited for
// with nothing sent to its windows; its milliseconds from the start of
// qvsetup.exe to its end, 0 when it failed.
DWORD TimeCopyFromOutside(const std::string& source, const std::string& config)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "BACKGROUND=NO", config});
    media.WriteApp("QVA.INF", AppInf{"Copy", {"XCOPYA," + source + "," + media.Path("COPY")}, {}, ""});
    AnswerFile answers({"Select=ALL"});
    ScopedVariable variable("QVSETUP_ANSWERS", answers.File().c_str());
    const DWORD start = GetTickCount();
    SetupRun run(media.folder());
    DWORD exitCode = 1;
    const bool ended = run.WaitForExit(600000, &exitCode);
    const DWORD elapsed = GetTickCount() - start;
    return ended && exitCode == 0 ? elapsed : 0;
}

DWORD Median(std::vector<DWORD> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 2,000 small files in 55 nested folders (5 folders of 10 subfolders, 40
// files of 1 to 8 KB in each subfolder), copied by XCOPYA with and without
// FASTCOPY and by xcopy.exe /E, each timed from outside three times.
bool ReportNestedCopyFromOutside()
{
    constexpr int Rounds = 3;
    const std::string source = MakeTempFolder("nested");
    for (int top = 0; top < 5; ++top) {
        const std::string outer = source + "\\T" + std::to_string(top);
        CreateDirectoryA(outer.c_str(), nullptr);
        for (int sub = 0; sub < 10; ++sub) {
            const std::string inner = outer + "\\S" + std::to_string(sub);
            CreateDirectoryA(inner.c_str(), nullptr);
            for (int file = 0; file < 40; ++file)
                WriteBytes(inner + "\\F" + std::to_string(file) + ".DAT", std::string(1024 * (1 + file % 8), 'x'));
        }
    }
    std::vector<DWORD> fast, paced, xcopy;
    for (int round = 0; round < Rounds; ++round) {
        fast.push_back(TimeCopyFromOutside(source, "FASTCOPY=YES"));
        xcopy.push_back(TimeXcopy(source));
        paced.push_back(TimeCopyFromOutside(source, ""));
    }
    RemoveTree(source);
    const bool measured = std::count(fast.begin(), fast.end(), 0) + std::count(xcopy.begin(), xcopy.end(), 0) +
                              std::count(paced.begin(), paced.end(), 0) == 0;
    printf("tree copy from outside, 2,000 files in 55 nested folders, nothing sent to the dialog "
           "(median of %d): xcopy.exe /E %lu ms; XCOPYA with FASTCOPY=YES %lu ms, %.2f times xcopy.exe "
           "(1.2 at most); XCOPYA %lu ms%s\n",
           Rounds, Median(xcopy), Median(fast), Median(xcopy) ? double(Median(fast)) / Median(xcopy) : 0.0,
           Median(paced), measured ? "" : " (a run failed)");
    return measured;
}

// Runs a PROG that waits 10 s; while the mark file names the run's media
// folder, the caller measures.
bool WaitingRun(const char* markFile)
{
    constexpr DWORD MeasureMs = 8000;
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("wait", 10000)}, {}, ""});
    SetupRun run(media.folder());
    if (!run.StartInstall(20000) ||
        !WaitUntil([&] { return StampTick(ReadStamps(media.StampFile()), "wait") != 0; }, 10000)) {
        printf("the waiting run did not start its program\n");
        return false;
    }
    Sleep(500);
    if (!WriteBytes(markFile, media.folder())) {
        printf("the mark file %s can't be written\n", markFile);
        return false;
    }
    Sleep(MeasureMs);
    DeleteFileA(markFile);
    return static_cast<bool>(RunExits(run, 20000));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        printf("usage: setup_benchmark MARK_FILE | --copies\n");
        return 2;
    }
    // The tree copies alone, for work on their pace.
    if (std::string(argv[1]) == "--copies") {
        ReportTreeCopy();
        return ReportNestedCopyFromOutside() ? 0 : 1;
    }
    ReportDialogTime(10);
    ReportDialogTime(500);
    ReportDialogTime(510);
    ReportDialogTime(510, 500);
    bool measured = ReportCheckTime();
    measured = ReportBigSectionCheck() && measured;
    measured = ReportPace(10, false) && measured;
    measured = ReportPace(10, true) && measured;
    measured = ReportPace(1, false) && measured;
    measured = ReportPace(1, true) && measured;
    ReportTreeCopy();
    measured = ReportNestedCopyFromOutside() && measured;
    measured = WaitingRun(argv[1]) && measured;
    return measured ? 0 : 1;
}
