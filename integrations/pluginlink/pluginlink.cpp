// Plug-in loader integration: copies the plug-in loader's configuration from
// "PLUGINLINK.INI" into the viewer's registry key. Section "Sorbix Sections"
// names the sections to copy; each section N and then its companion "N.32"
// become values of the key N below the product key.
#include <windows.h>

#include "common/profile_access.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "integrations/module_contract.h"

SORBIX_DECLARE_PLUGIN_CONTRACT(PLGIntAvailable, PLGIntInstall, PLGIntDeinstall)

namespace {

const char kIniFile[] = "PLUGINLINK.INI";
const char kSectionList[] = "Sorbix Sections";
const char kMachineSoftware[] = "SOFTWARE";
const char kMachineSoftwarePrefix[] = "SOFTWARE\\";

// Set at the start of an install call, valid while it runs: the product key
// path below "SOFTWARE" (the caller's string) and the INI file's path.
const char* g_productKey;
char g_iniPath[260];

// A list of names as the profile functions return it: names ended by zeros,
// the list by a second zero. A list that filled its buffer may end in a name
// cut short; only whole names are read, so that a cut name never names a
// key or value of its own.
const size_t kListCapacity = 256;

DWORD ReadNameList(const char* section, char (&list)[kListCapacity])
{
    DWORD length = GetPrivateProfileStringA(section, nullptr, "", list, sizeof list, g_iniPath);
    if (length == 0 || length < sizeof list - 2)
        return length;
    // Filled to the brim: drop the last name, which may be cut.
    while (length > 0 && list[length - 1] != '\0')
        --length;
    list[length] = '\0';
    return length;
}

// Creates or opens HKEY_LOCAL_MACHINE\path one component at a time, the
// first opened for reading; empty components (doubled or trailing
// backslashes) are passed over.
bool CreateKeyPath(char* path, HKEY* result)
{
    HKEY key = nullptr;
    char* component = path;
    for (;;) {
        char* end = component;
        while (*end != '\0' && *end != '\\')
            end = NextCharacter(end);
        bool last = *end == '\0';
        *end = '\0';
        if (*component != '\0') {
            HKEY next;
            bool opened;
            if (key == nullptr) {
                opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, component, 0, KEY_READ, &next) ==
                         ERROR_SUCCESS;
            } else {
                DWORD disposition;
                opened =
                    CreateRegistryKey(key, component, "", 0, KEY_WRITE, &next, &disposition);
                RegCloseKey(key);
            }
            if (!opened)
                return false;
            key = next;
        }
        if (last)
            break;
        component = end + 1;
    }
    *result = key;
    return key != nullptr;
}

int WriteSectionValue(const char* section, const char* name, const char* value)
{
    if (g_productKey == nullptr)
        return 0;
    char path[264];
    if (!FormatText(path, sizeof path, "%s\\%s\\%s", kMachineSoftware, g_productKey, section))
        return 0;
    HKEY key;
    if (!CreateKeyPath(path, &key))
        return 0;
    LONG status = SetRegistryString(key, name, value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 1 : 0;
}

// A value's buffer holds 256 bytes: 255 characters fit whole. It is read
// with one byte more, so that a value that does not fit (and would be cut)
// can be told from one that just fits, and is not stored.
void CopySection(const char* section, const char* registryKeyName)
{
    char keys[kListCapacity];
    if (ReadNameList(section, keys) == 0)
        return;
    for (const char* name = keys; *name != '\0'; name += TextLength(name) + 1) {
        char value[256 + 1];
        if (ReadProfileText(section, name, g_iniPath, value, sizeof value) == ReadOutcome::Whole)
            WriteSectionValue(registryKeyName, name, value);
    }
}

int InstallFromIni(const char* productKeyPath, const char* iniDirectory)
{
    g_productKey = StartsWithNoCase(productKeyPath, kMachineSoftwarePrefix)
                       ? productKeyPath + TextLength(kMachineSoftwarePrefix)
                       : productKeyPath;
    if (productKeyPath[0] == '\0')
        return 0;
    if (!CopyText(g_iniPath, sizeof g_iniPath, iniDirectory) ||
        !AppendName(g_iniPath, sizeof g_iniPath, kIniFile))
        return 0;
    if (GetFileAttributesA(g_iniPath) == INVALID_FILE_ATTRIBUTES)
        return 0;

    char sections[kListCapacity];
    if (ReadNameList(kSectionList, sections) == 0)
        return 0;
    for (const char* section = sections; *section != '\0'; section += TextLength(section) + 1) {
        CopySection(section, section);
        char companion[256];
        if (FormatText(companion, sizeof companion, "%s.32", section))
            CopySection(companion, section);
    }
    return 1;
}

}  // namespace

extern "C" int WINAPI PLGIntAvailable()
{
    return 1;
}

extern "C" int WINAPI PLGIntInstall(const char*, const char* productKeyPath,
                                    const char* iniDirectory)
{
    int result = InstallFromIni(productKeyPath, iniDirectory);
    g_productKey = nullptr;  // the caller's string is gone after the call
    return result;
}

// Removes nothing: the copied configuration stays in the registry.
extern "C" int WINAPI PLGIntDeinstall(DWORD, DWORD)
{
    return 1;
}
