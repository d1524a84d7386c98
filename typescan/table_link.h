// A driver link that answers from an SMBIOS table in memory exactly as the
// Biospeek driver answers: typescan's reader over a dump, with no driver.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
#include "biospeek/table.h"
}
#include "typescan/smbios_reader.h"

class TableLink : public DriverLink {
public:
    explicit TableLink(const BiospeekTable& table) : table_(table) {}
    bool IsNt() override { return true; }
    bool Open() override { return true; }
    void Close() override {}
    bool Request(uint32_t code, const void* input, uint32_t inputSize, void* output,
                 uint32_t outputSize, uint32_t* returned) override
    {
        size_t bytes = 0;
        const int ok = BiospeekAnswer(&table_, BiospeekRequestOfCode(code), input, inputSize,
                                      output, outputSize, &bytes);
        *returned = static_cast<uint32_t>(bytes);
        return ok != 0;
    }

private:
    BiospeekTable table_;
};
