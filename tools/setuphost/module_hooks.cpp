#include "module_hooks.h"

#include <stdio.h>

#include "import_table.h"
#include "machine_snapshot.h"
#include "message_boxes.h"
#include "profile_files.h"

namespace {

MachineSnapshot* g_iniFilesBefore;

void NoteProfileWrite(const char* file)
{
    if (file != nullptr && g_iniFilesBefore != nullptr)
        g_iniFilesBefore->AddIniFile(ProfileKey(file));
}

// The registry and profile calls the DLLs make, counted for --measure.
enum CountedCall {
    kRegCreateKey,
    kRegOpenKey,
    kRegSetValue,
    kRegQueryValue,
    kRegDeleteValue,
    kRegCloseKey,
    kGetProfileString,
    kWriteProfileString,
    kCountedCalls
};
const char* const kCountedCallNames[kCountedCalls] = {
    "RegCreateKeyExA", "RegOpenKeyExA",  "RegSetValueExA",          "RegQueryValueExA",
    "RegDeleteValueA", "RegCloseKey",    "GetPrivateProfileStringA", "WritePrivateProfileStringA"};
unsigned long g_calls[kCountedCalls];

LONG WINAPI HostRegCreateKey(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                             REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                             LPDWORD disposition)
{
    ++g_calls[kRegCreateKey];
    return RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, security, result,
                           disposition);
}

LONG WINAPI HostRegOpenKey(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    ++g_calls[kRegOpenKey];
    return RegOpenKeyExA(key, subKey, options, access, result);
}

LONG WINAPI HostRegSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                            DWORD size)
{
    ++g_calls[kRegSetValue];
    return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI HostRegQueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                              LPDWORD size)
{
    ++g_calls[kRegQueryValue];
    return RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI HostRegDeleteValue(HKEY key, LPCSTR name)
{
    ++g_calls[kRegDeleteValue];
    return RegDeleteValueA(key, name);
}

LONG WINAPI HostRegCloseKey(HKEY key)
{
    ++g_calls[kRegCloseKey];
    return RegCloseKey(key);
}

DWORD WINAPI HostGetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR value,
                                         DWORD size, LPCSTR file)
{
    ++g_calls[kGetProfileString];
    return GetPrivateProfileStringA(section, key, fallback, value, size, file);
}

BOOL WINAPI HostWritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    ++g_calls[kWriteProfileString];
    NoteProfileWrite(file);
    return WritePrivateProfileStringA(section, key, value, file);
}

BOOL WINAPI HostWritePrivateProfileSection(LPCSTR section, LPCSTR entries, LPCSTR file)
{
    NoteProfileWrite(file);
    return WritePrivateProfileSectionA(section, entries, file);
}

BOOL WINAPI HostWriteProfileString(LPCSTR section, LPCSTR key, LPCSTR value)
{
    NoteProfileWrite("win.ini");
    return WriteProfileStringA(section, key, value);
}

// Wine's RegSaveKeyA refuses every security attributes structure with
// ERROR_UNKNOWN_REVISION, where Windows saves the hive owned as the
// attributes say. A module that saves a user's hive that way would fail
// under Wine on every profile: the host saves it again without them, and
// says so.
LONG WINAPI HostRegSaveKey(HKEY key, LPCSTR file, LPSECURITY_ATTRIBUTES attributes)
{
    LONG result = RegSaveKeyA(key, file, attributes);
    if (result == ERROR_UNKNOWN_REVISION && attributes != nullptr) {
        DeleteFileA(file);
        result = RegSaveKeyA(key, file, nullptr);
        printf("  (hive %s saved without its security attributes, which Wine refuses: %ld)\n", file,
               static_cast<long>(result));
        fflush(stdout);
    }
    return result;
}

HMODULE WINAPI HostLoadLibrary(LPCSTR fileName)
{
    HMODULE module = LoadLibraryA(fileName);
    if (reinterpret_cast<ULONG_PTR>(module) > 32)
        WatchModule(module);
    return module;
}

}  // namespace

void WatchModule(HMODULE module)
{
    const struct {
        const char* dll;
        const char* function;
        void* replacement;
    } hooks[] = {
        {"USER32.dll", "MessageBoxA", reinterpret_cast<void*>(&HostMessageBox)},
        {"KERNEL32.dll", "LoadLibraryA", reinterpret_cast<void*>(&HostLoadLibrary)},
        {"KERNEL32.dll", "WritePrivateProfileStringA",
         reinterpret_cast<void*>(&HostWritePrivateProfileString)},
        {"KERNEL32.dll", "WritePrivateProfileSectionA",
         reinterpret_cast<void*>(&HostWritePrivateProfileSection)},
        {"KERNEL32.dll", "WriteProfileStringA", reinterpret_cast<void*>(&HostWriteProfileString)},
        {"ADVAPI32.dll", "RegSaveKeyA", reinterpret_cast<void*>(&HostRegSaveKey)},
        {"ADVAPI32.dll", "RegCreateKeyExA", reinterpret_cast<void*>(&HostRegCreateKey)},
        {"ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&HostRegOpenKey)},
        {"ADVAPI32.dll", "RegSetValueExA", reinterpret_cast<void*>(&HostRegSetValue)},
        {"ADVAPI32.dll", "RegQueryValueExA", reinterpret_cast<void*>(&HostRegQueryValue)},
        {"ADVAPI32.dll", "RegDeleteValueA", reinterpret_cast<void*>(&HostRegDeleteValue)},
        {"ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&HostRegCloseKey)},
        {"KERNEL32.dll", "GetPrivateProfileStringA",
         reinterpret_cast<void*>(&HostGetPrivateProfileString)},
    };
    for (const auto& hook : hooks) {
        if (void** slot = FindImportSlot(module, hook.dll, hook.function))
            ReplaceImportSlot(slot, hook.replacement);
    }
}

void NoteIniFilesInto(MachineSnapshot* snapshot)
{
    g_iniFilesBefore = snapshot;
}

std::string DescribeCallCounts()
{
    std::string text;
    for (int i = 0; i < kCountedCalls; ++i)
        text += std::string(i == 0 ? "" : " ") + kCountedCallNames[i] + "=" + std::to_string(g_calls[i]);
    return text;
}
