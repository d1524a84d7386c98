// The facts that the Linux tools ship with (tools/trymedia/kit_facts.json)
// are the core's own tables, written out as JSON: the exit codes with their
// meanings, the statuses of an application, the result file's keys and
// escapes, the log lines the tools follow
// a run by, the answer keys and the journal's files. This test writes them
// and compares; where they differ it leaves the new file in the build
// folder, to be copied over the one in tools/trymedia.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>

extern "C" {
#include "biospeek/table.h"
}
#include "setup/core/answer_file.h"
#include "setup/core/log_lines.h"
#include "setup/core/resume.h"
#include "setup/core/run_end.h"

namespace {

std::string Quoted(const char* text)
{
    std::string quoted = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\') {
            quoted += '\\';
            quoted += *c;
        } else if (static_cast<unsigned char>(*c) < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(*c));
            quoted += escape;
        } else {
            quoted += *c;
        }
    }
    return quoted + "\"";
}

// The core's facts as JSON, one entry a line, in the tables' order.
std::string KitFacts()
{
    std::string json = "{\n \"written by\": \"tests/unit/kit_facts_test.cpp from the core's tables: do not edit\",\n";
    json += " \"exit codes\": [";
    const char* comma = "\n";
    for (const RunEndFact& fact : RunEndFacts) {
        json += comma + std::string("  {\"code\": ") + std::to_string(fact.end) + ", \"meaning\": " +
                Quoted(fact.meaning) + ", \"installed\": " + (fact.installed ? "true" : "false") + "}";
        comma = ",\n";
    }
    json += "\n ],\n \"running reason\": " + Quoted(RunningReason) + ",\n \"application statuses\": [";
    comma = "";
    for (const AppStatusName& status : AppStatusNames) {
        json += comma + Quoted(status.name);
        comma = ", ";
    }
    json += "],\n \"result file\": {\"section\": " + Quoted(ResultSection) + ", \"keys\": {";
    const std::pair<const char*, const char*> resultKeys[] = {
        {"exit code", ResultKeys.exitCode}, {"reason", ResultKeys.reason},     {"process", ResultKeys.process},
        {"message", ResultKeys.message},    {"failed at", ResultKeys.failedAt}, {"seconds", ResultKeys.seconds},
        {"status", ResultKeys.status},
    };
    static_assert(sizeof resultKeys / sizeof resultKeys[0] == sizeof(ResultKeyNames) / sizeof(const char*),
                  "every key of the result file goes to the tools");
    comma = "";
    for (const auto& key : resultKeys) {
        json += comma + Quoted(key.first) + ": " + Quoted(key.second);
        comma = ", ";
    }
    json += "}, \"escapes\": {";
    comma = "";
    for (const ResultEscape& escape : ResultEscapes) {
        const char byte[] = {escape.byte, '\0'};
        json += comma + Quoted(byte) + ": " + Quoted(escape.written);
        comma = ", ";
    }
    json += "}},\n \"log time stamp length\": " + std::to_string(LogTimeStampLength) + ",\n \"log lines\": {";
    comma = "\n";
#define LOG_LINE(name, format)                                    \
    json += comma + std::string("  ") + Quoted(#name) + ": " + Quoted(format); \
    comma = ",\n";
#include "setup/core/log_lines.def"
#undef LOG_LINE
    json += "\n },\n \"answer section\": " + Quoted(AnswerSection) + ",\n \"answer keys\": [";
    size_t count = 0;
    const AnswerKey* keys = AnswerKeys(&count);
    comma = "";
    for (size_t i = 0; i < count; ++i) {
        json += comma + Quoted(keys[i].name);
        comma = ", ";
    }
    json += "],\n \"largest table file\": " + std::to_string(BIOSPEEK_MAX_TABLE_FILE) + ",\n \"journal files\": [";
    comma = "";
    for (const char* name : JournalFileNames) {
        json += comma + Quoted(name);
        comma = ", ";
    }
    return json + "]\n}\n";
}

TEST(KitFacts, TheToolsShipTheCoresOwnTables)
{
    const std::string written = KitFacts();
    std::ifstream shipped(QV_TOOLS "/trymedia/kit_facts.json", std::ios::binary);
    std::stringstream text;
    text << shipped.rdbuf();
    if (text.str() != written) {
        std::ofstream(QV_BUILD "/kit_facts.json", std::ios::binary) << written;
        FAIL() << "tools/trymedia/kit_facts.json differs from the core's tables: copy " QV_BUILD
                  "/kit_facts.json over it";
    }
}

} // namespace
