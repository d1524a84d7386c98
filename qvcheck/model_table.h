// The model of a machine described by an SMBIOS dump (/smbios=DUMP): MODEL
// conditions answered as typescan answers them on that machine, with the
// same reader and the driver's own answers over the dump's table.
#pragma once

#include <string>
#include <vector>

extern "C" {
#include "biospeek/table.h"
}
#include "setup/core/model_offer.h"

class DumpModelJudge : public ModelJudge {
public:
    DumpModelJudge() = default;
    DumpModelJudge(const DumpModelJudge&) = delete;   // the table points into bytes_
    DumpModelJudge& operator=(const DumpModelJudge&) = delete;

    // Reads the dump; false, with `why`, when it can't be read, is larger
    // than the driver takes, or holds no table that names a machine
    // (neither a product name nor an OEM string).
    bool Load(const std::string& path, std::string* why);
    // The media folder, as qvsetup asks there: without TYPESCAN.EXE, or
    // without the driver that typescan loads on the described system's
    // family, every condition is answered "could not be read".
    void SeeMediaFolder(const char* folder, bool ntFamily);
    ModelAnswer Judge(const char* condition) override;

    // Each condition asked, with what typescan would print for /d on this
    // machine ("Type1=..."), or why the string could not be read.
    struct Reading {
        std::string condition;
        std::string read;
    };
    const std::vector<Reading>& readings() const { return readings_; }

private:
    std::string bytes_;
    BiospeekTable table_ = {};
    std::string missing_;   // a file the media lack that typescan needs there
    std::vector<Reading> readings_;
};
