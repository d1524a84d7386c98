// Benchmark of qvsetup.exe (reported, not a test): the time from start to
// the visible selection dialog with 10 and 500 application INFs; the pace
// of 2,000 commands that finish at once against the tick; XCOPYA of a tree
// against Wine's xcopy.exe; and a run whose PROG waits 10 s, during which
// tools/run-benchmarks measures the CPU time that qvsetup.exe uses.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

DWORD MillisecondsToDialog(const Media& media)
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

void ReportDialogTime(int applications)
{
    Media media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=MULTI"});
    for (int i = 0; i < applications; ++i) {
        media.WriteApp("QV" + std::to_string(i) + ".INF",
                       AppInf{"Application " + std::to_string(i), {"SLEEP,1", "SLEEP,1"}, {}, ""});
    }
    std::vector<DWORD> times;
    for (int round = 0; round < 5; ++round)
        times.push_back(MillisecondsToDialog(media));
    std::sort(times.begin(), times.end());
    printf("start to visible selection dialog, %d application INFs: median %lu ms (min %lu, max %lu)\n",
           applications, times[2], times.front(), times.back());
}

// Runs one application to its end through the dialog; false when it failed.
bool InstallAndWait(const Media& media, DWORD timeoutMs)
{
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog(20000);
    if (!dialog)
        return false;
    PressButton(dialog, 1002);
    DWORD exitCode = 1;
    return run.WaitForExit(timeoutMs, &exitCode) && exitCode == 0;
}

// 2,000 DELETEs of a missing file between two stamps: the time they take
// against 2,000 ticks.
void ReportPace(int tick)
{
    constexpr int kCommands = 2000;
    Media media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "SIGNAL=" + std::to_string(tick)});
    AppInf app{"Pace", {"PROG," + media.Stamp("first")}, {}, ""};
    for (int i = 0; i < kCommands; ++i)
        app.install.push_back("DELETE," + media.Path("NOSUCH.TXT"));
    app.install.push_back("PROG," + media.Stamp("last"));
    media.WriteApp("QVA.INF", app);
    if (!InstallAndWait(media, 600000))
        return;
    const std::vector<Stamp> stamps = ReadStamps(media.StampFile());
    // From the first stamp program to the last: the first's own tick and
    // the 2,000 deletions' ticks.
    const DWORD elapsed = StampTick(stamps, "last") - StampTick(stamps, "first");
    const double asked = static_cast<double>(kCommands + 1) * tick;
    printf("pace, %d commands at SIGNAL %d: %lu ms against %.0f ms of ticks (%+.1f %%)\n",
           kCommands, tick, elapsed, asked, 100.0 * (elapsed - asked) / asked);
}

// XCOPYA of 2,000 files (10 KB each) in 50 folders, and xcopy.exe /E /I.
void ReportTreeCopy()
{
    const std::string source = MakeTempFolder("tree");
    for (int folder = 0; folder < 50; ++folder) {
        const std::string path = source + "\\F" + std::to_string(folder);
        CreateDirectoryA(path.c_str(), nullptr);
        for (int file = 0; file < 40; ++file)
            WriteBytes(path + "\\FILE" + std::to_string(file) + ".DAT", std::string(10240, 'x'));
    }
    Media media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    media.WriteApp("QVA.INF", AppInf{"Copy", {"XCOPYA," + source + "," + media.Path("COPY")},
                                     {}, ""});
    DWORD start = GetTickCount();
    const bool copied = InstallAndWait(media, 600000);
    const DWORD ours = GetTickCount() - start;
    start = GetTickCount();
    const RunResult xcopy = RunProgram("xcopy.exe " + source + " " + media.Path("XCOPY") +
                                           " /E /I /Q",
                                       600000);
    const DWORD theirs = GetTickCount() - start;
    // Entries: 2,000 files, 50 folders, and "." and ".." in every folder.
    const int entries = 2000 + 50 + 2 * 51;
    printf("tree copy, 2,000 files in 50 folders (20 MB): XCOPYA %lu ms%s, xcopy.exe %lu ms%s, "
           "ratio %.1f; %.2f ms per entry above the 5 ms tick\n",
           ours, copied ? "" : " (failed)", theirs, xcopy.exitCode == 0 ? "" : " (failed)",
           theirs ? static_cast<double>(ours) / theirs : 0.0,
           static_cast<double>(ours) / entries - 5.0);
    RemoveTree(source);
}

// Runs a PROG that waits 10 s; between the two marks the caller measures.
void WaitingRun()
{
    Media media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("wait", 10000)}, {}, ""});
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog(20000);
    if (!dialog)
        return;
    PressButton(dialog, 1002);
    WaitUntil([&] { return StampTick(ReadStamps(media.StampFile()), "wait") != 0; }, 10000);
    Sleep(500);
    printf("measure-start %lu\n", run.pid());
    fflush(stdout);
    Sleep(8000);
    printf("measure-end\n");
    fflush(stdout);
    DWORD exitCode = 0;
    run.WaitForExit(20000, &exitCode);
}

} // namespace

int main()
{
    ReportDialogTime(10);
    ReportDialogTime(500);
    ReportPace(10);
    ReportPace(1);
    ReportTreeCopy();
    WaitingRun();
    return 0;
}
