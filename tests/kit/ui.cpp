// Seeing and pressing what a person would.
#include "tests/kit/ui.h"

#include <cstring>

namespace {

constexpr int MessageBoxTextId = 0xFFFF; // the static control that holds a box's text
constexpr DWORD PollMs = 20;

struct WindowQuery {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto* query = reinterpret_cast<WindowQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != query->pid)
        return TRUE;
    if (query->className) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, query->className) != 0)
            return TRUE;
    }
    query->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> ProcessWindows(DWORD pid, const char* className)
{
    WindowQuery query{pid, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForWindow(DWORD pid, const char* className, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND window : ProcessWindows(pid, className)) {
            if (IsWindowVisible(window))
                return window;
        }
        Sleep(PollMs);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::string WindowText(HWND window)
{
    char text[4096] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

MessageBoxText ReadMessageBox(HWND box)
{
    return MessageBoxText{WindowText(box), WindowText(GetDlgItem(box, MessageBoxTextId))};
}

void PressButton(HWND dialog, int controlId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

MessageBoxCatcher::MessageBoxCatcher(int answer, DWORD timeoutMs)
    : answer_(answer), timeoutMs_(timeoutMs)
{
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    Finish();
    CloseHandle(thread_);
    CloseHandle(stop_);
}

bool MessageBoxCatcher::Finish()
{
    SetEvent(stop_);
    WaitForSingleObject(thread_, timeoutMs_ + 5000);
    return seen_;
}

DWORD WINAPI MessageBoxCatcher::Watch(void* self)
{
    auto* catcher = static_cast<MessageBoxCatcher*>(self);
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(catcher->stop_, PollMs) == WAIT_TIMEOUT &&
           GetTickCount() - start < catcher->timeoutMs_) {
        for (HWND box : ProcessWindows(GetCurrentProcessId(), "#32770")) {
            if (!IsWindowVisible(box))
                continue;
            catcher->box = ReadMessageBox(box);
            catcher->seen_ = true;
            PressButton(box, catcher->answer_);
            return 0;
        }
    }
    return 0;
}

OwnerWindow::OwnerWindow()
    : window_(CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr))
{
}

OwnerWindow::~OwnerWindow()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
}
