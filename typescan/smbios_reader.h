// SmbiosReader: one SMBIOS string per read cycle through the DMI reader
// driver, behind the DriverLink seam.
#pragma once

#include <cstdint>
#include <string>

// The requests to the DMI reader driver. The real link loads the driver
// (a service on the NT family) and talks to it with DeviceIoControl; tests
// give a scripted driver instead.
class DriverLink {
public:
    virtual ~DriverLink() = default;
    // Whether the system is of the NT family; asked at every read cycle.
    virtual bool IsNt() = 0;
    // Makes the driver ready and opens it; false when it can't.
    virtual bool Open() = 0;
    // One synchronous request; false when the driver refused it.
    virtual bool Request(uint32_t code, const void* input, uint32_t inputSize, void* output,
                         uint32_t outputSize, uint32_t* returned) = 0;
    // Closes the driver and unloads it; called after every cycle, also
    // after a failed Open.
    virtual void Close() = 0;
};

class SmbiosReader {
public:
    explicit SmbiosReader(DriverLink& link) : link_(link) {}
    virtual ~SmbiosReader() = default;

    // The trimmed product name of the first type 1 structure.
    std::string ReadProductName();
    // OEM string n (from 0) of the first type 11 structure.
    std::string ReadOemString(int n);
    bool LastReadFailed() const { return lastResult_ == -1; }

private:
    // One read cycle: the first structure of `type` into `structure`.
    bool ReadStructure(uint8_t type, std::string* structure);
    bool RequestStructure(uint8_t type, std::string* structure);

    DriverLink& link_;
    bool isNt_ = false;
    std::string productName_;
    std::string oemString_;
    int32_t lastResult_ = 0;
};
