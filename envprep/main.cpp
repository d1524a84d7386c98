// envprep: prepares a fresh Windows 2000 on the maker's machines in six
// registry and file steps, after asking (unless /silent).
#include <windows.h>

#include <cstring>

#include "envprep/envprep_rules.h"
#include "envprep/steps.h"

namespace {

constexpr char kCaption[] = "Windows(R) 2000 環境設定プログラム";
constexpr char kConfirmation[] =
    "Windows(R) 2000 環境設定プログラムを開始します。よろしいですか？";
constexpr char kFinished[] =
    "Windows(R) 2000 環境設定プログラムが終了しました。\n再起動後、設定が反映されます。";

// The texts of the check codes shown to the user.
const char* const kCheckMessages[] = {
    "このプログラムは、Windows2000をインストールしてから実行してください。\n",
    "このプログラムは、Calder-QVシリーズ上で実行してください。\n",
};

// Shows the text of a check code without its final line feed.
void ShowErrorCode(int code)
{
    char text[256] = {};
    lstrcpynA(text, kCheckMessages[code - 1], sizeof text);
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
    return GetKeyboardType(0) == 7 && ((GetKeyboardType(1) >> 8) & 0xFF) == 0x0D;
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
        ShowErrorCode(1);
        return 101;
    }
    if (IsRefusedKeyboard()) {
        ShowErrorCode(2);
        return 102;
    }
    const bool silent = HasSilentSwitch(commandLine);
    if (!silent && MessageBoxA(nullptr, kConfirmation, kCaption,
                               MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return -1;
    const int code = RunSteps();
    if (!silent)
        MessageBoxA(nullptr, kFinished, kCaption, MB_ICONINFORMATION);
    return code;
}
