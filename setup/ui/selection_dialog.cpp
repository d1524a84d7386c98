// The application selection dialog.
#include "setup/ui/selection_dialog.h"

#include <cstdio>
#include <cstring>

#include "setup/core/answer_file.h"
#include "setup/core/attendant.h"
#include "setup/core/app_collection.h"
#include "setup/core/log_lines.h"
#include "setup/core/memory.h"
#include "setup/core/messages.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/setup_log.h"
#include "setup/core/typescan_judge.h"
#include "setup/core/unattended.h"
#include "setup/resources/resource.h"
#include "setup/ui/dialog_position.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"
#include "setup/ui/selectors.h"

namespace {

// Notification codes of WM_COMMAND that the dialog acts on.
constexpr WORD ButtonClicked = BN_CLICKED;            // 0, also menus and accelerators
constexpr WORD SelectionChanged = LBN_SELCHANGE;      // 1, CBN_SELCHANGE alike

// What the dialog keeps for its lifetime, in its user data.
struct SelectionState {
    SelectionScene scene;
    AppRecord defaultInstall;   // [DefaultInstall] pseudo-application
    AppRecord cancelInstall;    // [CancelInstall] pseudo-application
    HICON appIcon;              // icon 101
};

// The dialog's state; null before WM_INITDIALOG has made it.
SelectionState* StateOf(HWND dialog)
{
    return reinterpret_cast<SelectionState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Shows the error over the dialog and closes the dialog; answers the
// initialisation result FALSE.
BOOL CloseWithError(HWND dialog, const char* text)
{
    ShowError(dialog, text);
    DestroyWindow(dialog);
    return FALSE;
}

BOOL CloseWithLoadError(HWND dialog, const LoadError& error)
{
    ShowLoadError(dialog, error);
    if (error.problem == LoadProblem::BadCommand)
        LogEvent("loading stopped on %s: line %ld of [%s] as the profile reader reads it, %s",
                 error.path, static_cast<long>(error.lineIndex) + 1, error.section,
                 LineFaultText(error.fault));
    else
        LogEvent("loading stopped on %s", error.path);
    DestroyWindow(dialog);
    return FALSE;
}

// What the dialog offers: the pseudo-applications' commands and every
// application with its preselection.
void LogOffer(const SelectionState& state)
{
    const Media& media = *state.scene.media;
    LogEvent("[DefaultInstall] has %ld commands, [CancelInstall] %ld",
             static_cast<long>(Count(state.defaultInstall.commands)),
             static_cast<long>(Count(state.cancelInstall.commands)));
    for (const AppRecord* app = media.apps.head; app; app = app->next)
        LogEvent("offered: \"%s\" (%s)%s", app->title, app->infPath,
                 app->selected ? ", preselected" : "");
}

void LogChoice(const Media& media)
{
    bool any = false;
    for (const AppRecord* app = media.apps.head; app; app = app->next) {
        if (app->selected && app->listIndex != -1) {
            LogEvent(LogChosen, app->title, app->infPath);
            any = true;
        }
    }
    if (!any)
        LogEvent(LogNothingChosen);
}

void ApplyCancelPermission(HWND dialog, const SetupConfig& config)
{
    if (config.cancelAllowed)
        return;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}

// Caption, prompt, icon and position of the dialog.
void PresentDialog(HWND dialog, SelectionState& state)
{
    const SetupConfig& config = state.scene.media->config;
    state.appIcon = LoadIconA(g_windows.instance, MAKEINTRESOURCEA(IDI_SETUP));
    if (!config.showBackground) {
        const auto icon = reinterpret_cast<LPARAM>(state.appIcon);
        SendMessageA(dialog, WM_SETICON, ICON_BIG, icon);
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, icon);
    }
    SetWindowTextA(dialog, config.dialogTitle);
    if (config.dialogPrompt[0] != '\0')
        SetDlgItemTextA(dialog, IDC_PROMPT, config.dialogPrompt);
    CentreDialog(dialog);
}

BOOL BuildSelector(HWND dialog, Media& media)
{
    switch (media.config.listStyle) {
    case StyleMulti:
        return CreateCheckList(dialog, media.apps);
    case StyleSingle:
        return CreateComboSelector(dialog, media.apps);
    case StyleSingleList:
        return CreateListSelector(dialog, media.apps);
    default:
        return CloseWithError(dialog, MsgFatalError);
    }
}

// True when Select's list names the INF file of `app`.
bool IsNamed(const char* list, const AppRecord& app)
{
    char name[PathCapacity];
    for (const char* cursor = list; NextSelectName(&cursor, name, sizeof name);) {
        if (lstrcmpiA(name, InfFileName(app.infPath)) == 0)
            return true;
    }
    return false;
}

// The first name of Select's list that no application offered has as its
// INF file name, copied into `name`; false when every name is offered.
bool FindUnofferedName(const Media& media, const char* list, char (&name)[PathCapacity])
{
    for (const char* cursor = list; NextSelectName(&cursor, name, sizeof name);) {
        bool offered = false;
        // One answer file serves every model: an application for other
        // models may be named, and is not offered here.
        for (const NodeList<AppRecord>* list : {&media.apps, &media.notOffered}) {
            for (const AppRecord* app = list->head; app && !offered; app = app->next)
                offered = lstrcmpiA(name, InfFileName(app->infPath)) == 0;
        }
        if (!offered)
            return true;
    }
    return false;
}

BOOL InitSelectionDialog(HWND dialog, const SelectionScene* scene)
{
    if (!scene || !scene->machine || !scene->media || !scene->attendant)
        return CloseWithError(dialog, MsgFatalError);
    auto* state = AllocRecord<SelectionState>();
    if (!state)
        return CloseWithError(dialog, MsgOutOfMemory);
    state->scene = *scene;
    Media& media = *scene->media;
    Attendant& attendant = *scene->attendant;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    PresentDialog(dialog, *state);
    ApplyCancelPermission(dialog, media.config);

    HeapBlock priority(MasterSectionCapacity);
    HeapBlock exclude(MasterSectionCapacity);
    if (!priority.get() || !exclude.get())
        return CloseWithError(dialog, MsgOutOfMemory);
    ReadMasterSection(media, "Priority", priority.get(), DefaultPattern);
    ReadMasterSection(media, "ExcludeForegroundWindow", exclude.get(), "");
    LoadExcludeList(media, exclude.get());

    LoadError error;
    if (!LoadOffer(*scene->machine, media, state->defaultInstall, state->cancelInstall,
                   priority.get(), &error)) {
        CloseWithLoadError(dialog, error);
        PostQuitMessage(0);
        return FALSE;
    }
    OfferByModelOnThisPc(media, attendant.ChoiceMadeBefore());
    if (Count(media.apps) == 0) {
        LogOffer(*state);
        LogEvent("no application is offered: Install is pressed at once");
        attendant.ChoosesUnseen(dialog);
        return FALSE;
    }
    const BOOL built = BuildSelector(dialog, media);
    if (const SelectionState* alive = StateOf(dialog))
        LogOffer(*alive);
    if (built && !attendant.SeesSelection()) {
        attendant.ChoosesUnseen(dialog);
        return FALSE;
    }
    return built;
}

// Install: [DefaultInstall] first, then the chosen applications.
void OnInstall(HWND dialog, SelectionState& state)
{
    Media& media = *state.scene.media;
    LogEvent("Install pressed");
    LogChoice(media);
    ChoiceMade(media);
    if (state.defaultInstall.selected)
        PushPseudoApp(media, state.defaultInstall);
    FreeAppRecordLists(&state.cancelInstall);
    JournalBegins();
    PostMessageA(g_windows.background, WM_START_INSTALL, 0, 0);
    DestroyWindow(dialog);
}

// Cancel: only [CancelInstall] runs; without it the program ends.
void OnCancel(HWND dialog, SelectionState& state)
{
    LogEvent(LogCancelPressed, state.cancelInstall.selected ? "[CancelInstall] runs"
                                                            : "the program ends");
    Media& media = *state.scene.media;
    FreeAppList(media);
    FreeAppRecordLists(&state.defaultInstall);
    if (state.cancelInstall.selected) {
        if (PushPseudoApp(media, state.cancelInstall)) {
            JournalBegins();
            PostMessageA(g_windows.background, WM_START_INSTALL, 0, 0);
        }
    } else {
        SendMessageA(g_windows.background, WM_CLOSE, 0, 0);
    }
    DestroyWindow(dialog);
}

void OnSelectionCommand(HWND dialog, WORD code, WORD id)
{
    SelectionState* state = StateOf(dialog);
    if (!state)
        return;
    if (code == SelectionChanged) {
        FollowCurrentSelection(dialog, state->scene.media->config.listStyle);
    } else if (code == ButtonClicked && id == IDC_INSTALL) {
        OnInstall(dialog, *state);
    } else if (code == ButtonClicked && id == IDCANCEL) {
        OnCancel(dialog, *state);
    }
}

// While minimised the dialog shows the program icon in its client area.
void OnSelectionPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    const SelectionState* state = StateOf(dialog);
    if (state && IsIconic(dialog)) {
        SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(dialog, &client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, state->appIcon);
    }
    EndPaint(dialog, &paint);
}

// With no application left the program ends; otherwise the background
// window runs the list it has been handed.
void OnSelectionDestroy(HWND dialog)
{
    // A dialog closed before it had its state (no scene, no memory) has
    // handed nothing on either.
    bool nothingToRun = true;
    if (SelectionState* state = StateOf(dialog)) {
        nothingToRun = Count(state->scene.media->apps) == 0;
        FreeAppRecordLists(&state->defaultInstall);
        FreeAppRecordLists(&state->cancelInstall);
        FreeZeroed(state);
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
    }
    g_windows.selectionDialog = nullptr;
    g_windows.listControl = nullptr;
    if (nothingToRun)
        PostQuitMessage(0);
}

} // namespace

void AnswerSelection(HWND dialog)
{
    SelectionState* state = StateOf(dialog);
    if (!state)
        return;
    Media& media = *state->scene.media;
    const Answers& answers = g_unattended.answers;
    char unoffered[PathCapacity];
    if (answers.select == SelectAnswer::Names &&
        FindUnofferedName(media, answers.selectNames, unoffered)) {
        char message[EndMessageCapacity];
        snprintf(message, sizeof message, "Select names %s, which the media do not offer", unoffered);
        EndUnattendedRun(EndBadAnswers, message);
        FreeAppList(media);
        DestroyWindow(dialog);
        return;
    }
    for (AppRecord* app = media.apps.head; app; app = app->next) {
        // An application whose model could not be read runs only when named.
        if (answers.select == SelectAnswer::All)
            app->selected = app->modelUnread ? 0 : 1;
        else if (answers.select == SelectAnswer::Names)
            app->selected = IsNamed(answers.selectNames, *app) ? 1 : 0;
        else if (answers.select == SelectAnswer::Nothing)
            app->selected = 0;
        else if (app->modelUnread)
            app->selected = 0;   // DEFAULT: not even as a single-choice list's first item
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, ButtonClicked), 0);
}

void TakeJournalChoice(HWND dialog)
{
    SelectionState* state = StateOf(dialog);
    if (!state)
        return;
    char changed[PathCapacity];
    if (ChangedJournalInf(changed)) {
        LogEvent("%s is not as it was when the interrupted run started: the run is given up", changed);
        char text[LoadDetailCapacity];
        snprintf(text, sizeof text, MsgInfChanged, changed);
        CloseWithError(dialog, text);
        PostQuitMessage(0);
        return;
    }
    LogEvent("the choice of the interrupted run is taken from its journal");
    for (AppRecord* app = state->scene.media->apps.head; app; app = app->next)
        app->selected = ChosenInJournal(InfFileName(app->infPath)) ? 1 : 0;
    const WORD pressed = ChosenInJournal(CancelInstallName) ? IDCANCEL : IDC_INSTALL;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(pressed, ButtonClicked), 0);
}

void PressInstall(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, IDC_INSTALL, 0);
}

INT_PTR CALLBACK SelectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitSelectionDialog(dialog, reinterpret_cast<const SelectionScene*>(lParam));
    case WM_COMMAND:
        OnSelectionCommand(dialog, HIWORD(wParam), LOWORD(wParam));
        return TRUE;
    case WM_DRAWITEM: {
        const SelectionState* state = StateOf(dialog);
        if (!state || state->scene.media->config.listStyle != StyleMulti)
            return FALSE;
        return DrawCheckListItem(dialog, reinterpret_cast<DRAWITEMSTRUCT*>(lParam),
                                 state->scene.media->apps);
    }
    case WM_VKEYTOITEM:
        return OnCheckListKey(LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT:
        OnSelectionPaint(dialog);
        return FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(StateOf(dialog) ? StateOf(dialog)->appIcon : nullptr);
    case WM_DESTROY:
        OnSelectionDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
