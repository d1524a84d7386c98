// GoogleTest port settings for the MinGW win32 thread model, which has no
// std::mutex: GoogleTest's Notification is given over a Win32 event instead.
#ifndef QV_GTEST_CUSTOM_PORT_H
#define QV_GTEST_CUSTOM_PORT_H

#ifdef _WIN32
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace internal
} // namespace testing
#endif

#endif
