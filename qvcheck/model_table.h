// The model of a machine described by an SMBIOS dump (/smbios=DUMP): MODEL
// conditions answered as typescan answers them on that machine, with the
// same reader and the driver's own answers over the dump's table.
#pragma once

#include <string>
#include <cstdint>
#include <vector>

extern "C" {
#include "biospeek/table.h"
}
#include "qvcheck/options.h"
#include "setup/core/model_offer.h"

// Why typescan of the media folder reads no model on the described system
// (no TYPESCAN.EXE that knows /FAILCODES; on the NT family no driver, or no
// rights to load it); empty when it can, or may (Windows 9x finds its
// device in the PC's system folder too).
std::string WhyModelUnreadable(const char* folder, const DescribedSystem& system);

class DumpModelJudge : public ModelJudge {
public:
    DumpModelJudge() = default;
    DumpModelJudge(const DumpModelJudge&) = delete;   // the table points into bytes_
    DumpModelJudge& operator=(const DumpModelJudge&) = delete;

    // Reads the dump; false, with `why`, when it can't be read, is larger
    // than the driver takes, or holds no table that names a machine
    // (neither a product name nor an OEM string).
    bool Load(const std::string& path, std::string* why);
    // The media folder on the described system, as qvsetup asks there:
    // where WhyModelUnreadable says why, every condition is answered "could
    // not be read"; a Biospeek.dat beside the driver that the driver takes
    // is the table every PC reads, and is judged instead of the dump.
    void SeeMediaFolder(const char* folder, const DescribedSystem& system);
    ModelAnswer Judge(const char* condition) override;
    // Whether the media's own table is judged in place of the dump.
    bool ReadsMediaTable() const { return !source_.empty(); }

    // Each condition asked, with what typescan would print for /d on this
    // machine ("Type1=..."), or why the string could not be read.
    struct Reading {
        std::string condition;
        std::string read;
    };
    const std::vector<Reading>& readings() const { return readings_; }

private:
    std::vector<uint8_t> bytes_;   // a vector keeps its buffer when moved
    BiospeekTable table_ = {};
    std::string unreadable_;   // why typescan can't read a model from these media
    std::string source_;       // where the table comes from, when not the dump

    // Takes the table in `bytes` (read from `path`); false, with `why`, when
    // they hold none that names a machine.
    bool TakeTable(const std::string& bytes, const std::string& path, std::string* why);
    ModelAnswer AskTable(const char* condition, std::string* said);
    std::vector<Reading> readings_;
};
