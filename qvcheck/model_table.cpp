// The model of a machine described by an SMBIOS dump.
#include "qvcheck/model_table.h"

#include <windows.h>

#include <algorithm>

#include "qvcheck/media_files.h"
#include "setup/core/model_condition.h"
#include "typescan/model_query.h"
#include "typescan/table_link.h"

namespace {

// The largest table file the driver takes.
constexpr size_t LargestDump = 16u << 20;

// The files typescan needs beside it: the driver of the NT family, and the
// device that Windows 9x loads from the current folder.
constexpr char TypescanFile[] = "TYPESCAN.EXE";
constexpr char NtDriverFile[] = "Biospeek.sys";
constexpr char Windows9xDriverFile[] = "vzorvdmid.vxd";

ModelQuery Ask(const BiospeekTable& table, const std::vector<std::string>& words)
{
    std::vector<const char*> argv = {"TYPESCAN.EXE"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    TableLink link(table);
    SmbiosReader reader(link);
    return AskModel(static_cast<int>(argv.size()), argv.data(), reader);
}

} // namespace

bool DumpModelJudge::Load(const std::string& path, std::string* why)
{
    // One byte past the limit tells a file that is too large from one that fits.
    if (!ReadPlainFile(path, LargestDump + 1, &bytes_)) {
        *why = path + " can't be read";
        return false;
    }
    if (bytes_.size() > LargestDump) {
        *why = path + " is larger than the driver takes (" + std::to_string(LargestDump >> 20) + " MiB)";
        return false;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes_.data());
    const bool walked = BiospeekFindTable(data, bytes_.size(), &table_) != 0;
    if (!walked || (Ask(table_, {"/mode=0", "/d"}).value.empty() &&
                    Ask(table_, {"/mode=1,0", "/d"}).value.empty())) {
        *why = path + " holds no SMBIOS table that names a machine (a raw table, a dmidecode "
                      "--dump-bin file or a RawSMBIOSData block, with a product name or an OEM string)";
        return false;
    }
    return true;
}

void DumpModelJudge::SeeMediaFolder(const char* folder, bool ntFamily)
{
    missing_.clear();
    for (const char* name : {TypescanFile, ntFamily ? NtDriverFile : Windows9xDriverFile}) {
        const std::string path = std::string(folder) + "\\" + name;
        if (missing_.empty() && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            missing_ = name;
    }
}

ModelAnswer DumpModelJudge::Judge(const char* condition)
{
    const std::vector<std::string> words = ModelArguments(condition);
    const ModelQuery query = Ask(table_, words);
    std::string said = "the model could not be read: typescan finds no such string in the table";
    ModelAnswer answer = ModelAnswer::Unread;
    if (query.outcome == ModelOutcome::Match || query.outcome == ModelOutcome::NoMatch) {
        const bool matches = query.outcome == ModelOutcome::Match;
        answer = matches ? ModelAnswer::Matches : ModelAnswer::OtherModel;
        std::string shown = Ask(table_, {words[0], "/d"}).printed;
        if (!shown.empty() && shown.back() == '\n')
            shown.pop_back();
        said = std::string(matches ? "this model matches" : "another model") + " (" + shown + ")";
    } else if (query.outcome == ModelOutcome::WrongUsage) {
        said = "typescan refuses the condition";
    }
    if (!missing_.empty()) {
        said = "the model could not be read: the media folder has no " + missing_ + " for typescan";
        answer = ModelAnswer::Unread;
    }
    // Each check that loads the offer asks again; the plan tells each condition once.
    const bool told = std::any_of(readings_.begin(), readings_.end(),
                                  [condition](const Reading& r) { return r.condition == condition; });
    if (!told)
        readings_.push_back(Reading{condition, said});
    return answer;
}
