// Eudora integration: puts the viewer's Eudora plug-in "SORBIXEU.DLL" into
// the "plugins" directory of a 32-bit Eudora of version 3.0.1.0 or later, and
// takes it out again. Eudora is found through the registry; the plug-in comes
// from the viewer's home directory. Both arguments of install and deinstall
// are ignored.
#include <windows.h>

#include "common/product_key.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "integrations/module_contract.h"

SORBIX_DECLARE_MODULE_CONTRACT(EUIntAvailable, EUIntInstall, EUIntDeinstall)

namespace {

const char kPlugInFile[] = "SORBIXEU.DLL";
const char kPlugInDirectory[] = "plugins";
const char kOpenCommand[] = "shell\\open\\command";
const char kMailboxExtension[] = ".sta";

// A registry place, its path built as root word, parent and last component.
struct RegistryPlace {
    HKEY root;
    const char* parent;
    const char* last;
    const char* valueName;  // null: the default value
};

const RegistryPlace kAppPaths = {HKEY_LOCAL_MACHINE, "Microsoft\\Windows\\CurrentVersion\\App Paths",
                                 "EUDORA.EXE", nullptr};
const RegistryPlace kCommandLine = {HKEY_CLASSES_ROOT, "Qualcomm\\Eudora\\CommandLine", "current",
                                    nullptr};
const RegistryPlace kViewerHome = {HKEY_LOCAL_MACHINE, SORBIX_PRODUCT_BELOW_SOFTWARE, "GENERAL",
                                   "HOME"};

// Eudora's path as the available operation found it.
char g_eudoraPath[MAX_PATH];

// Opens a key one path component at a time from the root, for reading.
HKEY OpenKeyPath(HKEY root, const char* path)
{
    HKEY current = root;
    const char* rest = path;
    while (*rest != '\0') {
        char component[MAX_PATH];
        size_t length = 0;
        while (rest[length] != '\0' && rest[length] != '\\')
            length = static_cast<size_t>(NextCharacter(rest + length) - rest);
        if (length >= sizeof component) {
            if (current != root)
                RegCloseKey(current);
            return nullptr;
        }
        for (size_t i = 0; i < length; ++i)
            component[i] = rest[i];
        component[length] = '\0';
        rest += length;
        if (*rest == '\\')
            ++rest;
        if (length == 0)
            continue;
        HKEY next;
        LONG opened = RegOpenKeyExA(current, component, 0, KEY_READ, &next);
        if (current != root)
            RegCloseKey(current);
        if (opened != ERROR_SUCCESS)
            return nullptr;
        current = next;
    }
    return current != root ? current : nullptr;
}

// Reads a text value of more than one byte whole into buffer. A value too
// large for the buffer is refused, never cut; one stored without its
// terminating zero gets one when there is room.
bool ReadText(HKEY root, const char* keyPath, const char* valueName, char* buffer, size_t capacity)
{
    HKEY key = OpenKeyPath(root, keyPath);
    if (key == nullptr)
        return false;
    DWORD size;
    ReadOutcome read =
        ReadRegistryText(key, valueName, buffer, static_cast<DWORD>(capacity), &size);
    RegCloseKey(key);
    return read == ReadOutcome::Whole && size > 1;
}

bool ReadPlace(const RegistryPlace& place, char* buffer, size_t capacity)
{
    char keyPath[264];
    const char* rootWord = place.root == HKEY_LOCAL_MACHINE ? "SOFTWARE" : "Software";
    return FormatText(keyPath, sizeof keyPath, "%s\\%s\\%s", rootWord, place.parent, place.last) &&
           ReadText(place.root, keyPath, place.valueName, buffer, capacity);
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool ReadAt(HANDLE file, DWORD offset, void* bytes, DWORD count)
{
    LONG high = 0;
    DWORD got = 0;
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return false;
    return ReadFile(file, bytes, count, &got, nullptr) && got == count;
}

// 3: a 32-bit Windows executable ("PE"); 2: a 16-bit one ("NE"); 1: no new
// header; -1: another header; 0: unreadable.
int ExecutableType(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int type = 0;
    unsigned char offsetBytes[4];
    unsigned char signature[2];
    if (ReadAt(file, 60, offsetBytes, sizeof offsetBytes)) {
        DWORD newHeader = offsetBytes[0] | (offsetBytes[1] << 8) | (offsetBytes[2] << 16) |
                          (static_cast<DWORD>(offsetBytes[3]) << 24);
        if (newHeader == 0)
            type = 1;
        else if (ReadAt(file, newHeader, signature, sizeof signature))
            type = signature[0] == 'N' && signature[1] == 'E'   ? 2
                   : signature[0] == 'P' && signature[1] == 'E' ? 3
                                                                : -1;
    }
    CloseHandle(file);
    return type;
}

bool IsEudoraProgram(const char* path)
{
    return FileExists(path) && ExecutableType(path) == 3;
}

// Ends a command right after Eudora's file name, in capitals or in small
// letters; false when it names neither.
bool CutAfterEudoraName(char* command)
{
    const char* name = FindSubtext(command, "EUDORA.EXE");
    if (name == nullptr)
        name = FindSubtext(command, "eudora.exe");
    if (name == nullptr)
        return false;
    command[(name - command) + 10] = '\0';
    return true;
}

// The open command of the ".sta" mailbox files' class.
bool ReadMailboxCommand(char* buffer, size_t capacity)
{
    char className[256];
    if (!ReadText(HKEY_CLASSES_ROOT, kMailboxExtension, nullptr, className, sizeof className))
        CopyText(className, sizeof className, kMailboxExtension);
    char commandKey[256];
    return JoinName(commandKey, sizeof commandKey, className, kOpenCommand) &&
           ReadText(HKEY_CLASSES_ROOT, commandKey, nullptr, buffer, capacity);
}

// Eudora's program path from the first source that names an existing 32-bit
// executable: App Paths, the ".sta" association, Eudora's command line.
bool FindEudora(char* path, size_t capacity)
{
    if (ReadPlace(kAppPaths, path, capacity) && IsEudoraProgram(path))
        return true;
    if (ReadMailboxCommand(path, capacity) && CutAfterEudoraName(path) && IsEudoraProgram(path))
        return true;
    if (ReadPlace(kCommandLine, path, capacity) && CutAfterEudoraName(path) &&
        IsEudoraProgram(path))
        return true;
    path[0] = '\0';
    return false;
}

// Product version 3.0.1.0 or later.
bool CheckEudoraVersion(const char* path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return false;
    void* block = LocalAlloc(LMEM_FIXED, size);
    if (block == nullptr)
        return false;
    bool recent = false;
    void* information = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", &information, &length) && information != nullptr &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(information);
        recent = fixed->dwSignature == 0xFEEF04BD &&
                 (fixed->dwProductVersionMS > 0x00030000 ||
                  (fixed->dwProductVersionMS == 0x00030000 &&
                   fixed->dwProductVersionLS >= 0x00010000));
    }
    LocalFree(block);
    return recent;
}

// Length of the directory part of path: up to and including its last "\",
// ":", "/" or "]" character (never the second byte of a double-byte
// character); 0 when it has none.
size_t DirectoryLength(const char* path)
{
    size_t end = 0;
    for (const char* p = path; *p != '\0';) {
        const char* next = NextCharacter(p);
        if (next == p + 1 && (*p == '\\' || *p == ':' || *p == '/' || *p == ']'))
            end = static_cast<size_t>(next - path);
        p = next;
    }
    return end;
}

// The directory part of path ending with a backslash; out (capacity bytes,
// zero-filled by the callers) is left as it was when path has none. False
// when it would not fit.
bool DirectoryOf(const char* path, char* out, size_t capacity)
{
    size_t end = DirectoryLength(path);
    if (end == 0)
        return true;
    bool separator = path[end - 1] != '\\';
    if (end + (separator ? 1 : 0) >= capacity)
        return false;
    for (size_t i = 0; i < end; ++i)
        out[i] = path[i];
    if (separator)
        out[end++] = '\\';
    out[end] = '\0';
    return true;
}

// Eudora's "plugins" directory; false when that path would not fit (Eudora's
// own path may be longer than the directory it lies in).
bool PlugInDirectoryOf(const char* eudoraPath, char* plugins, size_t capacity)
{
    for (size_t i = 0; i < capacity; ++i)
        plugins[i] = '\0';
    return DirectoryOf(eudoraPath, plugins, capacity) &&
           AppendName(plugins, capacity, kPlugInDirectory);
}

void CopyPlugIn(const char* eudoraPath)
{
    char plugins[MAX_PATH];
    if (!PlugInDirectoryOf(eudoraPath, plugins, sizeof plugins))
        return;
    if (!FileExists(plugins) && !CreateDirectoryA(plugins, nullptr))
        return;

    char home[MAX_PATH];
    if (!ReadPlace(kViewerHome, home, sizeof home))
        return;
    char source[256];
    char target[256];
    if (!JoinName(source, sizeof source, home, kPlugInFile) || !FileExists(source) ||
        !JoinName(target, sizeof target, plugins, kPlugInFile))
        return;
    CopyFileA(source, target, FALSE);
}

}  // namespace

extern "C" int WINAPI EUIntAvailable()
{
    if (!FindEudora(g_eudoraPath, sizeof g_eudoraPath) || g_eudoraPath[0] == '\0')
        return 0;
    return CheckEudoraVersion(g_eudoraPath) ? 1 : 0;
}

extern "C" int WINAPI EUIntInstall(const char*, const char*)
{
    char eudoraPath[MAX_PATH];
    if (!FindEudora(eudoraPath, sizeof eudoraPath))
        return 0;
    if (eudoraPath[0] != '\0' && CheckEudoraVersion(eudoraPath))
        CopyPlugIn(eudoraPath);
    return 1;
}

extern "C" int WINAPI EUIntDeinstall(const char*, const char*)
{
    char eudoraPath[MAX_PATH];
    if (!FindEudora(eudoraPath, sizeof eudoraPath))
        return 0;
    char plugins[MAX_PATH];
    if (!PlugInDirectoryOf(eudoraPath, plugins, sizeof plugins) || !FileExists(plugins))
        return 1;
    // A read-only plug-in is left where it is.
    char plugIn[MAX_PATH];
    if (JoinName(plugIn, sizeof plugIn, plugins, kPlugInFile)) {
        DWORD attributes = GetFileAttributesA(plugIn);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0)
            DeleteFileA(plugIn);
    }
    return 1;
}
