// The real link to the DMI reader driver: a service and a device on the NT
// family, a VxD on Windows 9x.
#pragma once

#include <windows.h>

#include "common/owners.h"
#include "typescan/smbios_reader.h"

class DeviceDriverLink : public DriverLink {
public:
    ~DeviceDriverLink() override { Close(); }
    bool IsNt() override;
    bool Open() override;
    bool Request(uint32_t code, const void* input, uint32_t inputSize, void* output,
                 uint32_t outputSize, uint32_t* returned) override;
    // Closes the device; on the NT family it then stops and deletes the
    // service and waits 100 ms, after every cycle alike.
    void Close() override;

private:
    bool isNt_ = false;
    bool cycleOpen_ = false;
    KernelHandle device_;
};
