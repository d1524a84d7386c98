// The DMI reader driver as a kernel-driver service of the NT family.
#include "typescan/driver_service.h"

#include <windows.h>

#include "common/owners.h"

namespace {

constexpr char ServiceName[] = "Biospeek";
// How long the service manager may take to settle a state that passes by
// itself (a deletion still pending, its database locked while it starts,
// the driver host starting): on a busy machine, seconds; normally at once.
constexpr DWORD SettleWaitMs = 10000;
constexpr DWORD SettlePollMs = 20;

// Calls `step` until it succeeds or fails for a reason that does not pass
// by itself (any error but those `passing` names), for at most SettleWaitMs.
template <typename Step, typename Passing>
bool UntilSettled(Step step, Passing passing)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (step())
            return true;
        if (!passing(GetLastError()) || GetTickCount() - start >= SettleWaitMs)
            return false;
        Sleep(SettlePollMs);
    }
}

bool DatabaseLocked(DWORD error)
{
    return error == ERROR_SERVICE_DATABASE_LOCKED;
}

SC_HANDLE OpenManager()
{
    SC_HANDLE manager = nullptr;
    UntilSettled([&] { return (manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) != nullptr; },
                 DatabaseLocked);
    return manager;
}

// Stops and deletes the open service.
bool StopAndDelete(SC_HANDLE service)
{
    // A service that is registered but not running (left by a run that was
    // ended between creating and starting it) is deleted all the same:
    // kept, it would make every later run fail.
    SERVICE_STATUS status;
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status) &&
        GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        return false;
    return DeleteService(service) != FALSE;
}

// A deleted service is only marked for deletion until the manager has let
// go of it; a run right after this one would find it so and fail. Waits,
// bounded, until the service can no longer be opened.
void WaitUntilServiceGone(SC_HANDLE manager)
{
    UntilSettled([&] { return !ServiceHandle(OpenServiceA(manager, ServiceName, SERVICE_QUERY_STATUS)).valid(); },
                 [](DWORD) { return true; });
}

// A service created while an earlier one of that name is still marked for
// deletion (its run ended a moment ago) is created once that one is gone.
// One that is registered and not being deleted fails the creation.
SC_HANDLE CreateDriverService(SC_HANDLE manager, const std::string& driverPath)
{
    SC_HANDLE created = nullptr;
    UntilSettled(
        [&] {
            created = CreateServiceA(manager, ServiceName, ServiceName, SERVICE_ALL_ACCESS,
                                     SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                     driverPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
            return created != nullptr;
        },
        [](DWORD error) { return error == ERROR_SERVICE_MARKED_FOR_DELETE || DatabaseLocked(error); });
    return created;
}

// Starts the service and waits, bounded, until it runs: its device is there
// only once the driver host has loaded the driver.
bool StartDriverService(SC_HANDLE service)
{
    const bool started = UntilSettled(
        [&] { return StartServiceA(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING; },
        DatabaseLocked);
    if (!started)
        return false;
    SERVICE_STATUS status = {};
    UntilSettled(
        [&] { return QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_START_PENDING; },
        [](DWORD) { return true; });
    return true;
}

} // namespace

bool InstallDriverService()
{
    ServiceHandle manager(OpenManager());
    if (!manager.get())
        return false;
    const std::string driverPath = PathBesideProgram("Biospeek.sys");
    ServiceHandle created(CreateDriverService(manager.get(), driverPath));
    if (!created.get())
        return false;
    ServiceHandle service(OpenServiceA(manager.get(), ServiceName, SERVICE_ALL_ACCESS));
    if (!service.get()) {
        DeleteService(created.get());
        return false;
    }
    if (StartDriverService(service.get()))
        return true;
    DeleteService(service.get());
    return false;
}

bool RemoveDriverService()
{
    ServiceHandle manager(OpenManager());
    if (!manager.get())
        return false;
    bool deleted = false;
    {
        ServiceHandle service(OpenServiceA(manager.get(), ServiceName, SERVICE_ALL_ACCESS));
        if (!service.get())
            return false;
        deleted = StopAndDelete(service.get());
    }
    if (deleted)
        WaitUntilServiceGone(manager.get());
    return deleted;
}

std::string PathBesideProgram(const char* name)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path - 1);
    if (length == 0 || length >= sizeof path - 1)
        return name;
    // The last backslash that is a character of its own: CharNextA steps
    // over double-byte characters whose trail byte is 0x5C.
    const char* folderEnd = path;
    for (const char* p = path; *p; p = CharNextA(p)) {
        if (*p == '\\')
            folderEnd = p + 1;
    }
    return std::string(path, static_cast<size_t>(folderEnd - path)) + name;
}
