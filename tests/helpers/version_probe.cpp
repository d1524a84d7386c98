// Child program for tests: answers, as its exit code, the Windows version it
// is shown: platform * 10000 + major * 100 + minor.
#include <windows.h>

int main()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return 1;
    return static_cast<int>(version.dwPlatformId * 10000 + version.dwMajorVersion * 100 +
                            version.dwMinorVersion);
}
