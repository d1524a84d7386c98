// The DMI reader driver as a kernel-driver service of the NT family.
#include "typescan/driver_service.h"

#include <windows.h>

#include "common/owners.h"

namespace {

constexpr char ServiceName[] = "Biospeek";
constexpr DWORD DeletionWaitMs = 1000;
constexpr DWORD DeletionPollMs = 20;

SC_HANDLE OpenManager()
{
    return OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
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
    const DWORD start = GetTickCount();
    for (;;) {
        if (!ServiceHandle(OpenServiceA(manager, ServiceName, SERVICE_QUERY_STATUS)).valid())
            return;
        if (GetTickCount() - start >= DeletionWaitMs)
            return;
        Sleep(DeletionPollMs);
    }
}

} // namespace

bool InstallDriverService()
{
    ServiceHandle manager(OpenManager());
    if (!manager.get())
        return false;
    const std::string driverPath = PathBesideProgram("Biospeek.sys");
    ServiceHandle created(CreateServiceA(manager.get(), ServiceName, ServiceName,
                                         SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                         SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                         driverPath.c_str(), nullptr, nullptr, nullptr, nullptr,
                                         nullptr));
    if (!created.get())
        return false;
    ServiceHandle service(OpenServiceA(manager.get(), ServiceName, SERVICE_ALL_ACCESS));
    if (!service.get()) {
        DeleteService(created.get());
        return false;
    }
    if (StartServiceA(service.get(), 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING)
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
