// Microsoft Mail integration: names the viewer's attachment handler
// "sxmscah.dll" in the Microsoft Mail key of the current user and, on
// Windows NT, of every user profile whose hive is not in use.
#include <windows.h>

#include "module_instance.h"
#include "text.h"
#include "user_hives.h"

namespace {

const char kMailKey[] = "SOFTWARE\\Microsoft\\Mail\\Microsoft Mail";
const char kLoginValueName[] = "Login";
const char kHandlerValueName[] = "CustomAttachmentHandler";
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
    char login[100];
    DWORD size = sizeof login;
    LONG queried = RegQueryValueExA(key, kLoginValueName, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(login), &size);
    RegCloseKey(key);
    return queried == ERROR_SUCCESS ? 1 : 0;
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
    char emptyClass[] = "";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kMailKey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return 0;
    RegSetValueExA(key, kHandlerValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(handlerValue),
                   static_cast<DWORD>(TextLength(handlerValue) + 1));
    RegCloseKey(key);
    return 3;
}

extern "C" int WINAPI MSIntDeinstall(const char*, const char*)
{
    if (RunningOnWindowsNt())
        ForEachUserHive(nullptr, RemoveHandlerFromHive, 0);

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMailKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kHandlerValueName);
        RegCloseKey(key);
    }
    return 1;
}
