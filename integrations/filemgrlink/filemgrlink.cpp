// File Manager integration: announces the viewer's File Manager extension
// "sxfm.dll" and makes a running File Manager reload its extensions.
#include <windows.h>

#include "common/profile_access.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "integrations/module_contract.h"

SORBIX_DECLARE_MODULE_CONTRACT(FMIntAvaliable, FMIntInstall, FMIntDeinstall)

namespace {

const char kAddOnsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager\\AddOns";
const char kAddOnsSection[] = "AddOns";
const char kEntryName[] = "Sorbix";
const char kProfileName[] = "winfile.ini";
const char kExtensionFile[] = "sxfm.dll";
const UINT kReloadExtensions = WM_USER + 0x207;  // FM_RELOAD_EXTENSIONS

// Only the frame window with an empty title is File Manager's own.
void NotifyFileManager()
{
    HWND frame = FindWindowA("WFS_Frame", "");
    if (frame != nullptr)
        SendMessageA(frame, kReloadExtensions, 0, 0);
}

}  // namespace

extern "C" int WINAPI WEP(DWORD)
{
    return 1;
}

extern "C" int WINAPI FMIntAvaliable()
{
    char entry[200];
    return ReadProfileText(kAddOnsSection, kEntryName, kProfileName, entry, sizeof entry) ==
                   ReadOutcome::Missing
               ? 1
               : 3;
}

extern "C" int WINAPI FMIntInstall(const char* installationDirectory, const char*)
{
    // An extension path longer than its 52 bytes is not stored cut: the value
    // is left as it is and only the reload message goes out.
    char extensionPath[52];
    if (JoinName(extensionPath, sizeof extensionPath, installationDirectory, kExtensionFile)) {
        HKEY key;
        DWORD disposition;
        if (CreateRegistryKey(HKEY_LOCAL_MACHINE, kAddOnsKey, "", 0, KEY_ALL_ACCESS, &key,
                              &disposition)) {
            SetRegistryString(key, kEntryName, extensionPath);
            RegCloseKey(key);
        }
    }
    NotifyFileManager();
    return 3;
}

extern "C" int WINAPI FMIntDeinstall(const char*, const char*)
{
    // The entry is emptied, not removed, and only in a "winfile.ini" that
    // exists: deinstall never creates the file. A Windows directory too long
    // for the 100-byte path counts as one without the file.
    char windowsDirectory[MAX_PATH];
    char profilePath[100];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length > 0 && length < sizeof windowsDirectory &&
        JoinName(profilePath, sizeof profilePath, windowsDirectory, kProfileName) &&
        GetFileAttributesA(profilePath) != INVALID_FILE_ATTRIBUTES)
        WritePrivateProfileStringA(kAddOnsSection, kEntryName, "", profilePath);

    DeleteRegistryValue(HKEY_LOCAL_MACHINE, kAddOnsKey, KEY_ALL_ACCESS, kEntryName);
    NotifyFileManager();
    return 1;
}
