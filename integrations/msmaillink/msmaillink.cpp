// Microsoft Mail integration: names the viewer's attachment handler
// "sxmscah.dll" in the Microsoft Mail key of the current user and, on
// Windows NT, of every user profile whose hive is not in use.
#include <windows.h>

#include "common/registry_access.h"
#include "common/text.h"
#include "integrations/module_contract.h"
#include "handler_value.h"
#include "module_instance.h"
#include "user_hives.h"

SORBIX_DECLARE_MODULE_CONTRACT(MSIntAvaliable, MSIntInstall, MSIntDeinstall)

namespace {

const char kMailKey[] = "SOFTWARE\\Microsoft\\Mail\\Microsoft Mail";
const char kLoginValueName[] = "Login";
const char kHandlerModule[] = "sxmscah.dll,2";

HINSTANCE g_moduleInstance = nullptr;

bool RunningOnWindowsNt()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

HINSTANCE ModuleInstance()
{
    return g_moduleInstance;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID)
{
    if (g_moduleInstance == nullptr)
        g_moduleInstance = instance;
    return TRUE;
}

extern "C" int WINAPI WEP(DWORD)
{
    return 1;
}

extern "C" int WINAPI MSIntAvaliable()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMailKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    // Any value that fits the buffer counts, whatever its type.
    char login[100];
    DWORD size = sizeof login;
    ReadOutcome queried = QueryRegistryValue(key, kLoginValueName, nullptr, login, &size);
    RegCloseKey(key);
    return queried == ReadOutcome::Whole ? 1 : 0;
}

extern "C" int WINAPI MSIntInstall(const char* directory, const char*)
{
    // A handler value longer than its 52 bytes is never stored cut: nobody's
    // key is touched.
    char handlerValue[52];
    if (!JoinName(handlerValue, sizeof handlerValue, directory, kHandlerModule))
        return 0;

    if (RunningOnWindowsNt())
        ForEachUserHive(handlerValue, SetHandlerInHive, 1);

    HKEY key;
    DWORD disposition;
    if (!CreateRegistryKey(HKEY_CURRENT_USER, kMailKey, "", REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, &key, &disposition))
        return 0;
    // Another product's handler is kept for deinstall first; one that
    // cannot be kept whole is left as it is.
    bool kept = KeepOtherHandler(key);
    if (kept)
        SetViewersHandler(key, handlerValue);
    RegCloseKey(key);
    return kept ? 3 : 0;
}

extern "C" int WINAPI MSIntDeinstall(const char*, const char*)
{
    if (RunningOnWindowsNt())
        ForEachUserHive(nullptr, RemoveHandlerFromHive, 0);

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMailKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        GiveHandlerBack(key);
        RegCloseKey(key);
    }
    return 1;
}
