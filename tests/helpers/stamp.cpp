// Child program for tests: `stamp FILE LABEL [MILLISECONDS]` appends
// "LABEL start TICK" to FILE, sleeps, then appends "LABEL end TICK".
// The tick is GetTickCount, one clock for every process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
void AppendLine(const char* path, const char* label, const char* event)
{
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char line[128];
    const int length = snprintf(line, sizeof line, "%s %s %lu\r\n", label, event, GetTickCount());
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    AppendLine(argv[1], argv[2], "start");
    if (argc > 3) {
        Sleep(static_cast<DWORD>(atoi(argv[3])));
        AppendLine(argv[1], argv[2], "end");
    }
    return 0;
}
