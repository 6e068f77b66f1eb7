// Small services for the setup script: the registry-rights test, removal of
// the viewer's help and start-up entries, closing a running window, and the
// Windows NT 4 test.
#include <windows.h>

#include "frame/module_state.h"
#include "frame/registry.h"
#include "frame/registry_layout.h"
#include "frame/resource_strings.h"
#include "install/install_exports.h"

namespace {

const UINT kRightsCaptionId = 501;
const UINT kRightsMessageId = 722;

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query of Windows 95 and NT 4");

}  // namespace

extern "C" int WINAPI HaveRegRights(const char* resourceDirectory)
{
    HKEY software;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSoftwareKey, 0, KEY_ALL_ACCESS, &software) ==
        ERROR_SUCCESS) {
        RegCloseKey(software);
        return 1;
    }

    // Without the message module the user has seen the fixed box; the rights
    // message is still shown, with empty texts (never strings of another
    // module).
    OpenResourceModule(resourceDirectory);
    char message[512];
    char caption[100];
    message[0] = '\0';
    caption[0] = '\0';
    if (IsLoadedModule(g_resourceModule)) {
        LoadStringA(g_resourceModule, kRightsMessageId, message, sizeof message);
        LoadStringA(g_resourceModule, kRightsCaptionId, caption, sizeof caption);
    }
    MessageBoxA(nullptr, message, caption, MB_OK);
    FreeResourceModule();
    return 0;
}

extern "C" int WINAPI UpRegDeleteVal(DWORD flag)
{
    DeleteRegValue(kHelpRemovalKey, "sorbix.hlp");
    DeleteRegValue(kRunKey, "txldmgr.exe");
    if (flag == 0)
        DeleteRegValue(kFullNameMakerKey, "CommonFiles");
    return 1;
}

// Only the parent or owner of the window found is asked to close.
extern "C" int WINAPI UnLoadWindow(const char* className)
{
    HWND window = FindWindowA(className, nullptr);
    if (window == nullptr)
        return 1;
    HWND owner = GetParent(window);
    if (owner == nullptr)
        return 1;
    SendMessageA(owner, WM_CLOSE, 0, 0);
    SendMessageA(owner, WM_DESTROY, 0, 0);
    return 1;
}

// A version query that fails says nothing of the system: the answer is 0.
extern "C" int WINAPI GetMajorVer(DWORD* isNt4OrLater)
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    *isNt4OrLater = 0;
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
        version.dwMajorVersion >= 4)
        *isNt4OrLater = 1;
    return 1;
}
