// Benchmark of qvsetup.exe (reported, not a test): the time from start to
// the visible selection dialog with 10 and 500 application INFs, and a run
// whose PROG waits 10 s, during which tools/run-benchmarks measures the CPU
// time that qvsetup.exe uses.
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
    WaitingRun();
    return 0;
}
