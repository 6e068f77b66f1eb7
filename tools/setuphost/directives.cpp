#include "directives.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <vector>

#include "profile_files.h"
#include "regedit_export.h"

namespace {

const char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// What the setup program does for each shared file it copies: one more
// reference in SharedDLLs, a REG_DWORD count named by the file's path.
void CountSharedReference(const std::string& path)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        printf("  cannot open HKEY_LOCAL_MACHINE\\%s\n", kSharedDllsKey);
        return;
    }
    DWORD count = 0;
    DWORD type = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof count)
        count = 0;
    ++count;
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
    printf("  shared file %s: %lu reference(s)\n", path.c_str(), static_cast<unsigned long>(count));
}

void PrintIni(const std::vector<ScriptArgument>& a)
{
    std::string path = ProfilePath(a[0].text);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        printf("; %s does not exist\n", path.c_str());
    } else if (a.size() == 3) {
        char value[4096];
        DWORD length = GetPrivateProfileStringA(a[1].text.c_str(), a[2].text.c_str(), "\x01", value,
                                                sizeof value, path.c_str());
        if (length == 1 && value[0] == '\x01')
            printf("; %s [%s] has no entry %s\n", path.c_str(), a[1].text.c_str(), a[2].text.c_str());
        else
            printf("%s [%s] %s=%s\n", path.c_str(), a[1].text.c_str(), a[2].text.c_str(), value);
    } else {
        std::vector<char> section(65536);
        DWORD length = GetPrivateProfileSectionA(a[1].text.c_str(), section.data(),
                                                 static_cast<DWORD>(section.size()), path.c_str());
        printf("%s [%s]\n", path.c_str(), a[1].text.c_str());
        for (const char* entry = section.data(); entry < section.data() + length && *entry != '\0';
             entry += strlen(entry) + 1)
            printf("  %s\n", entry);
    }
}

}  // namespace

void RunDirective(const ScriptStatement& statement)
{
    const std::vector<ScriptArgument>& a = statement.arguments;
    if (statement.name == ".echo")
        printf("%s\n", a[0].text.c_str());
    else if (statement.name == ".shared")
        CountSharedReference(a[0].text);
    else if (statement.name == ".reg")
        printf("REGEDIT4\n\n%s", RegeditText(a[0].text).c_str());
    else if (statement.name == ".ini")
        PrintIni(a);
    fflush(stdout);
}
