// envprep: prepares a fresh Windows 2000 on the maker's machines in six
// registry and file steps, after asking (unless /silent).
#include <windows.h>

#include <cstring>

#include "envprep/envprep_rules.h"
#include "envprep/steps.h"

namespace {

constexpr int ExitCheckBase = 100;     // a failed platform check exits with 100 + its code
constexpr int ExitCancelled = -1;
constexpr int JapaneseKeyboard = 7;
constexpr int RefusedKeyboardSubtype = 0x0D;
constexpr size_t MessageCapacity = 256;

constexpr char Caption[] = "Windows(R) 2000 環境設定プログラム";
constexpr char Confirmation[] =
    "Windows(R) 2000 環境設定プログラムを開始します。よろしいですか？";
constexpr char Finished[] =
    "Windows(R) 2000 環境設定プログラムが終了しました。\n再起動後、設定が反映されます。";

// The texts of the check codes shown to the user.
const char* const CheckMessages[] = {
    "このプログラムは、Windows2000をインストールしてから実行してください。\n",
    "このプログラムは、Calder-QVシリーズ上で実行してください。\n",
};

// Shows the text of a check code without its final line feed.
void ShowErrorCode(int code)
{
    char text[MessageCapacity] = {};
    lstrcpynA(text, CheckMessages[code - 1], sizeof text);
    const int length = lstrlenA(text);
    if (length > 0)
        text[length - 1] = '\0';
    MessageBoxA(nullptr, text, "エラー", MB_OK | MB_ICONEXCLAMATION);
}

bool IsWindows2000Family()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion == 5;
}

bool IsRefusedKeyboard()
{
    return GetKeyboardType(0) == JapaneseKeyboard &&
           ((GetKeyboardType(1) >> 8) & 0xFF) == RefusedKeyboardSubtype;
}

int RunSteps()
{
    DisableKeyboardPort();
    EnableUsbKeyboardWake();
    EnableUsbMouseWake();
    EnableApm();
    DeleteServicePackShortcuts();
    return DeletePowerUtilityFiles();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (!IsWindows2000Family()) {
        ShowErrorCode(StepWrongWindows);
        return ExitCheckBase + StepWrongWindows;
    }
    if (IsRefusedKeyboard()) {
        ShowErrorCode(StepRefusedKeyboard);
        return ExitCheckBase + StepRefusedKeyboard;
    }
    const bool silent = HasSilentSwitch(commandLine);
    if (!silent && MessageBoxA(nullptr, Confirmation, Caption,
                               MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return ExitCancelled;
    const int code = RunSteps();
    if (!silent)
        MessageBoxA(nullptr, Finished, Caption, MB_ICONINFORMATION);
    return code;
}
