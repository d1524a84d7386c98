// SMBIOS test data: what the tables of tests/data/smbios hold, as dmidecode
// reads them (the product name of type 1 and the OEM strings of type 11),
// shared by the native table test and the driver test under Wine; and one
// structure built from its parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SmbiosReading {
    const char* file;
    const char* product;
    std::vector<std::string> oem;   // empty: the table has no type 11
};

inline const std::vector<SmbiosReading>& SmbiosReadings()
{
    static const std::vector<SmbiosReading> readings = {
        {"ASRock-Single-Ryzen.dmi", "To Be Filled By O.E.M.", {"Default string"}},
        {"Beelink-EQ12.dmi", "EQ", {"Default string"}},
        {"Dell-PowerEdge-R630-Dual-Xeon.dmi", "PowerEdge R630", {"Dell System", "5[0000]"}},
        {"HyperV.dmi", "Virtual Machine",
         {"[MS_VM_CERT/SHA1/9b80ca0d5dd061ec9da4e494f4c3fd1196270c22]",
          "00000000000000000000000000000000"}},
        {"SuperMicro-Dual-Xeon.dmi", "SYS-1027R-WRF",
         {"Intel SandyBridge/Patsburg/Romley", "Supermicro motherboard-X9 Series "}},
        {"SuperMicro-Quad-Opteron.dmi", "H8QG6", {"To Be Filled By O.E.M.", "To Be Filled By O.E.M."}},
        {"jeffgerlap_3_2_0.dat", "Surface Laptop 3", {}},
    };
    return readings;
}

// A structure: formatted area, then strings, then the final NUL (two NULs
// when there is no string).
inline std::vector<uint8_t> SmbiosStructure(std::vector<uint8_t> formatted,
                                            const std::vector<std::string>& strings)
{
    std::vector<uint8_t> bytes = std::move(formatted);
    for (const std::string& s : strings) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    if (strings.empty())
        bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// A raw SMBIOS table of one system information structure naming `product`,
// as a Biospeek.dat beside the driver takes it.
inline std::string TableNaming(const std::string& product)
{
    std::string table("\x01\x08\x00\x01\x00\x01\x00\x00", 8);
    table += product + std::string(2, '\0');
    table += std::string("\x7F\x04\x02\x01\x00\x00", 6);
    return table;
}
