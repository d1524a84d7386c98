// The model of a machine described by an SMBIOS dump.
#include "qvcheck/model_table.h"

#include <windows.h>

#include <algorithm>

#include "qvcheck/media_files.h"
#include "setup/core/model_condition.h"
#include "typescan/exit_codes.h"
#include "typescan/model_query.h"
#include "typescan/table_link.h"

namespace {

// The files typescan needs beside it: the driver of the NT family, and the
// device that Windows 9x loads from the current folder.
constexpr char TypescanFile[] = "TYPESCAN.EXE";
constexpr char NtDriverFile[] = "Biospeek.sys";
constexpr char Windows9xDriverFile[] = "vzorvdmid.vxd";
constexpr char MediaTableFile[] = "Biospeek.dat";

ModelQuery Ask(const BiospeekTable& table, const std::vector<std::string>& words)
{
    std::vector<const char*> argv = {"TYPESCAN.EXE"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    TableLink link(table);
    SmbiosReader reader(link);
    return AskModel(static_cast<int>(argv.size()), argv.data(), reader);
}

// A table file as the driver reads it: up to one byte past its limit, which
// tells a file that is too large from one that fits.
bool ReadTableFile(const std::string& path, std::string* bytes)
{
    return ReadPlainFile(path, BIOSPEEK_MAX_TABLE_FILE + 1, bytes);
}

} // namespace

bool DumpModelJudge::TakeTable(const std::string& bytes, const std::string& path, std::string* why)
{
    // The table is taken only when it is whole: the judge's table points
    // into the bytes it was walked in.
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    BiospeekTable table = {};
    const bool walked = BiospeekFindTable(data.data(), data.size(), &table) != 0;
    if (!walked || (Ask(table, {"/mode=0", "/d"}).value.empty() && Ask(table, {"/mode=1,0", "/d"}).value.empty())) {
        *why = path + " holds no SMBIOS table that names a machine (a raw table, a dmidecode "
                      "--dump-bin file or a RawSMBIOSData block, with a product name or an OEM string)";
        return false;
    }
    // The table's pointers stay valid: moving a vector keeps its buffer.
    bytes_ = std::move(data);
    table_ = table;
    return true;
}

bool DumpModelJudge::Load(const std::string& path, std::string* why)
{
    std::string bytes;
    if (!ReadTableFile(path, &bytes)) {
        *why = path + " can't be read";
        return false;
    }
    if (bytes.size() > BIOSPEEK_MAX_TABLE_FILE) {
        *why = path + " is larger than the driver takes (" + std::to_string(BIOSPEEK_MAX_TABLE_FILE >> 20) + " MiB)";
        return false;
    }
    return TakeTable(bytes, path, why);
}

std::string WhyModelUnreadable(const char* folder, const DescribedSystem& system)
{
    const std::string base = std::string(folder) + "\\";
    std::string program;
    if (!ReadPlainFile(base + TypescanFile, LargestReadFile, &program))
        return std::string("the media folder has no ") + TypescanFile + " for typescan";
    if (program.find(FailureCodesSwitch) == std::string::npos)
        return std::string("the media's ") + TypescanFile + " does not know " + FailureCodesSwitch +
               ", so qvsetup does not ask it";
    // Windows 9x looks for its device in the current folder (the media's),
    // then in the PC's system folder; this kit ships none, so a PC that
    // lacks it is the one to plan for.
    if (!system.ntFamily && !IsPlainFile(base + Windows9xDriverFile))
        return std::string("the media folder has no ") + Windows9xDriverFile +
               " for typescan (a PC that holds it in its system folder reads the model)";
    if (system.ntFamily && !IsPlainFile(base + NtDriverFile))
        return std::string("the media folder has no ") + NtDriverFile + " for typescan";
    if (system.ntFamily && !system.isAdmin)
        return "the user is no administrator: typescan can't load its driver";
    return std::string();
}

void DumpModelJudge::SeeMediaFolder(const char* folder, const DescribedSystem& system)
{
    unreadable_.clear();
    source_.clear();
    if (folder[0] == '\0')
        return;
    unreadable_ = WhyModelUnreadable(folder, system);
    if (!unreadable_.empty() || !system.ntFamily)
        return;
    // The driver beside typescan (there is one, on the NT family, when the
    // model can be read) reads a table file beside it before the PC's own
    // table, passing over one that is empty or larger than it takes: every
    // PC that runs these media reads that one.
    const std::string table = std::string(folder) + "\\" + MediaTableFile;
    std::string bytes;
    if (!ReadTableFile(table, &bytes) || bytes.empty() || bytes.size() > BIOSPEEK_MAX_TABLE_FILE)
        return;
    source_ = std::string(" (from the media's ") + MediaTableFile + ", which the driver reads before the PC's own table)";
    std::string why;
    if (!TakeTable(bytes, table, &why))
        unreadable_ = std::string("the media's ") + MediaTableFile + " holds no table, and the driver reads it first";
}

ModelAnswer DumpModelJudge::Judge(const char* condition)
{
    std::string said = std::string(ModelAnswerName(ModelAnswer::Unread)) + ": " + unreadable_;
    const ModelAnswer answer = unreadable_.empty() ? AskTable(condition, &said) : ModelAnswer::Unread;
    // Each check that loads the offer asks again; the plan tells each condition once.
    const bool told = std::any_of(readings_.begin(), readings_.end(),
                                  [condition](const Reading& r) { return r.condition == condition; });
    if (!told)
        readings_.push_back(Reading{condition, said});
    return answer;
}

ModelAnswer DumpModelJudge::AskTable(const char* condition, std::string* said)
{
    const std::vector<std::string> words = ModelArguments(condition);
    const ModelQuery query = Ask(table_, words);
    *said = std::string(ModelAnswerName(ModelAnswer::Unread)) + ": typescan finds no such string in the table";
    ModelAnswer answer = ModelAnswer::Unread;
    if (query.outcome == ModelOutcome::Match || query.outcome == ModelOutcome::NoMatch) {
        const bool matches = query.outcome == ModelOutcome::Match;
        answer = matches ? ModelAnswer::Matches : ModelAnswer::OtherModel;
        std::string shown = Ask(table_, {words[0], "/d"}).printed;
        if (!shown.empty() && shown.back() == '\n')
            shown.pop_back();
        *said = std::string(ModelAnswerName(answer)) + " (" + shown + ")" + source_;
    } else if (query.outcome == ModelOutcome::WrongUsage) {
        *said = "typescan refuses the condition";
    }
    return answer;
}
