// What the selection dialog offers, gathered without a window.
#include "setup/core/app_collection.h"

#include <windows.h>

#include <cstring>

#include "common/owners.h"
#include "setup/core/memory.h"
#include "setup/core/paths.h"

namespace {

// One file already found while the [Priority] lines are walked.
struct SeenNode {
    SeenNode* next;
    char path[PathCapacity];
};

bool WasSeen(NodeList<SeenNode>& seen, const char* path)
{
    for (SeenNode* node = First(seen); node; node = Next(seen)) {
        if (EqualsIgnoreCase(node->path, path))
            return true;
    }
    return false;
}

enum class Offer { Visited, Skipped, NoMemory, Stopped };

// Hands one found file to the visitor unless an earlier match found it.
Offer OfferFile(NodeList<SeenNode>& seen, const char* folder, const char* name, int lineIndex,
                PriorityVisitor& visitor)
{
    SeenNode* node = AllocRecord<SeenNode>();
    if (!node)
        return Offer::NoMemory;
    if (!JoinPath(node->path, sizeof node->path, folder, name) ||
        WasSeen(seen, node->path)) {
        FreeZeroed(node);
        return Offer::Skipped;
    }
    if (!visitor.Visit(node->path, lineIndex)) {
        FreeZeroed(node);
        return Offer::Stopped;
    }
    Append(seen, node);
    return Offer::Visited;
}

// Offers the files matching one [Priority] line in directory order; false
// when the visitor stopped the walk.
bool WalkPattern(NodeList<SeenNode>& seen, const char* folder, const char* line, int lineIndex,
                 PriorityVisitor& visitor)
{
    char pattern[PathCapacity];
    WIN32_FIND_DATAA found;
    const FindHandle search(JoinPath(pattern, sizeof pattern, folder, line)
                                ? FindFirstFileA(pattern, &found)
                                : INVALID_HANDLE_VALUE);
    if (!search.valid()) {
        visitor.FoundNothing(line, lineIndex);
        return true;
    }
    // No memory for a seen-node ends this line silently.
    Offer offer = Offer::Skipped;
    do {
        offer = OfferFile(seen, folder, found.cFileName, lineIndex, visitor);
    } while (offer != Offer::NoMemory && offer != Offer::Stopped && FindNextFileA(search.get(), &found));
    return offer != Offer::Stopped;
}

// Loads each file it is shown; stops at the first that fails.
class AppLoader : public PriorityVisitor {
public:
    AppLoader(const Machine& machine, Media& media, LoadError* error)
        : machine_(machine), media_(media), error_(error)
    {
    }
    bool Visit(const char* path, int) override { return LoadAppInf(machine_, media_, path, error_); }

private:
    const Machine& machine_;
    Media& media_;
    LoadError* error_;
};

} // namespace

void ReadMasterSection(const Media& media, const char* section, char* lines, const char* fallback)
{
    if (GetPrivateProfileSectionA(section, lines, MasterSectionCapacity, media.masterInfPath) == 0)
        strcpy(lines, fallback);
}

void LoadExcludeList(Media& media, const char* lines)
{
    FreeExcludeList(media);
    for (const char* line = lines; *line; line += strlen(line) + 1) {
        WindowTitleNode* node = AllocRecord<WindowTitleNode>();
        char* title = static_cast<char*>(AllocZeroed(strlen(line) + 1));
        if (!node || !title) {
            FreeZeroed(node);
            FreeZeroed(title);
            return;
        }
        strcpy(title, line);
        node->title = title;
        Append(media.excluded, node);
    }
}

void FreeExcludeList(Media& media)
{
    while (WindowTitleNode* node = PopFront(media.excluded)) {
        FreeZeroed(node->title);
        FreeZeroed(node);
    }
}

bool WalkPriorityFiles(const char* folder, const char* patterns, PriorityVisitor& visitor)
{
    NodeList<SeenNode> seen = {};
    bool walked = true;
    int index = 0;
    for (const char* line = patterns; *line && walked; line += strlen(line) + 1, ++index) {
        if (line[0] != ';')
            walked = WalkPattern(seen, folder, line, index, visitor);
    }
    while (SeenNode* node = PopFront(seen))
        FreeZeroed(node);
    return walked;
}

bool CollectApplications(const Machine& machine, Media& media, const char* patterns,
                         LoadError* error)
{
    AppLoader loader(machine, media, error);
    return WalkPriorityFiles(media.sourceDir, patterns, loader);
}

bool LoadPseudoApp(const Machine& machine, const Media& media, AppRecord& pseudo,
                   const char* section, LoadError* error)
{
    FreeAppRecordLists(&pseudo);
    pseudo = AppRecord{};
    strcpy(pseudo.infPath, media.masterInfPath);
    if (!LoadCommandSection(machine, &pseudo, section, error))
        return false;
    if (Count(pseudo.commands) > 0) {
        pseudo.listIndex = -1;
        pseudo.selected = 1;
    }
    return true;
}

bool LoadOffer(const Machine& machine, Media& media, AppRecord& defaultInstall,
               AppRecord& cancelInstall, const char* patterns, LoadError* error)
{
    if (!LoadPseudoApp(machine, media, defaultInstall, "DefaultInstall", error) ||
        !LoadPseudoApp(machine, media, cancelInstall, "CancelInstall", error))
        return false;
    FreeAppList(media);
    return CollectApplications(machine, media, patterns, error);
}

bool PushPseudoApp(Media& media, AppRecord& pseudo)
{
    AppRecord* copy = AllocRecord<AppRecord>();
    if (!copy)
        return false;
    *copy = pseudo;
    // The commands name their INF by the record that holds them: the copy.
    for (CommandRecord* cmd = copy->commands.head; cmd; cmd = cmd->next)
        cmd->infPath = copy->infPath;
    pseudo.commands = NodeList<CommandRecord>{};
    pseudo.cdChecks = NodeList<CheckCdromEntry>{};
    PushFront(media.apps, copy);
    return true;
}
