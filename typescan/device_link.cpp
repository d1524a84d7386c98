// The real link to the DMI reader driver.
#include "typescan/device_link.h"

#include "biospeek/protocol.h"
#include "typescan/driver_service.h"

namespace {
constexpr DWORD AfterCyclePauseMs = 100;   // lets the service manager finish the unload
}

bool DeviceDriverLink::IsNt()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    isNt_ = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return isNt_;
}

bool DeviceDriverLink::Open()
{
    cycleOpen_ = true;
    if (isNt_) {
        if (!InstallDriverService())
            return false;
        device_.Reset(CreateFileA(BIOSPEEK_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    } else {
        device_.Reset(CreateFileA(BIOSPEEK_VXD_PATH, 0, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    }
    return device_.valid();
}

bool DeviceDriverLink::Request(uint32_t code, const void* input, uint32_t inputSize, void* output,
                               uint32_t outputSize, uint32_t* returned)
{
    DWORD bytes = 0;
    const BOOL ok = DeviceIoControl(device_.get(), code, const_cast<void*>(input), inputSize, output,
                                    outputSize, &bytes, nullptr);
    *returned = bytes;
    return ok != FALSE;
}

void DeviceDriverLink::Close()
{
    device_.Reset();
    if (cycleOpen_ && isNt_) {
        RemoveDriverService();
        Sleep(AfterCyclePauseMs);
    }
    cycleOpen_ = false;
}
