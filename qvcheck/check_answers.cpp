// The check of an answer file for unattended runs.
#include "qvcheck/check_answers.h"

#include <vector>

#include "qvcheck/media_checker.h"
#include "qvcheck/media_files.h"
#include "qvcheck/profile_lines.h"
#include "qvcheck/wording.h"
#include "setup/core/app_collection.h"
#include "setup/core/inf_parser.h"

namespace {

// The INF file names of the applications the media offer, and with
// /smbios of those their MODEL leaves out on that model; false when
// loading stops (the media's own findings say why).
bool OfferedNames(Judged& judged, std::vector<std::string>* names, std::vector<std::string>* otherModels)
{
    Media& media = judged.media;
    LoadError error = {};
    AppRecord defaultInstall = {}, cancelInstall = {};
    const bool loaded = LoadJudgedOffer(judged, defaultInstall, cancelInstall, &error);
    for (const AppRecord* app = media.apps.head; app && loaded; app = app->next)
        names->push_back(InfFileName(app->infPath));
    for (const AppRecord* app = media.notOffered.head; app && loaded; app = app->next)
        otherModels->push_back(InfFileName(app->infPath));
    FreeAppList(media);
    FreeAppRecordLists(&defaultInstall);
    FreeAppRecordLists(&cancelInstall);
    return loaded;
}

// Each name of a Select list against the applications offered; nothing
// when the media do not load, since no run gets as far as the selection.
// `place` is the answer file's line, or the media folder for /select.
void CheckSelectNames(Judged& judged, const std::string& list, const Place& place, int column,
                      bool answerFile, Report& report)
{
    std::vector<std::string> offered, otherModels;
    if (!OfferedNames(judged, &offered, &otherModels))
        return;
    char name[PathCapacity];
    for (const char* cursor = list.c_str(); NextSelectName(&cursor, name, sizeof name);) {
        if (NamesHold(otherModels, name))
            report.Add(place.path, place.line, column, Severity::Warning,
                       say::SelectOtherModel(name, judged.modelName, answerFile));
        else if (!NamesHold(offered, name))
            report.Add(place.path, place.line, column, Severity::Error, say::SelectNotOffered(name, answerFile));
    }
}

} // namespace

bool NamesHold(const std::vector<std::string>& names, const std::string& name)
{
    for (const std::string& each : names) {
        if (SameName(each, name))
            return true;
    }
    return false;
}

bool CheckAnswerFile(Judged& judged, const std::string& path, Report& report, Answers* answers)
{
    SetDefaultAnswers(answers);
    const int errorsBefore = report.errors();
    std::string bytes;
    if (!ReadPlainFile(path, LargestReadFile, &bytes)) {
        report.Add(path, 0, 0, Severity::Error, say::AnswerFileUnreadable());
        return false;
    }
    const ProfileFile file(bytes);
    if (file.hasByteOrderMark())
        report.Add(path, 1, 1, Severity::Error, say::AnswerByteOrderMark());
    const ProfileSection* section = file.Find(AnswerSection);
    if (!section) {
        report.Add(path, 0, 0, Severity::Error, say::NoAnswerSection());
        return false;
    }
    for (const ProfileLine& line : section->lines) {
        if (line.isComment || file.FindKey(AnswerSection, line.name) != &line)
            continue;
        const std::string value = ProfileValue(path, AnswerSection, line.name.c_str());
        const Place place{path, line.number};
        // A finding points at the value.
        const int column = file.ColumnOf(line.number, line.text, line.name.size() + 1);
        const AnswerFault fault = ApplyAnswer(line.name.c_str(), value.c_str(), answers);
        if (fault != AnswerFault::None)
            report.Add(path, line.number, column, Severity::Error,
                       say::AnswerRefused(line.name + "=" + value, AnswerFaultText(fault)));
        else if (SameName(line.name, "Select") && answers->select == SelectAnswer::Names)
            CheckSelectNames(judged, answers->selectNames, place, column, true, report);
    }
    return report.errors() == errorsBefore;
}

void CheckSelectOption(Judged& judged, const CheckOptions& options, Report& report)
{
    if (options.select == SelectAnswer::Names)
        CheckSelectNames(judged, options.selectNames, Place{options.folders.front(), 0}, 0, false, report);
}
