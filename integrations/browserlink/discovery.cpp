#include "discovery.h"

#include "common/text.h"
#include "navigator_keys.h"

BrowserList g_browsers;

bool IsNavigatorSlot(const char* slot)
{
    return TextEquals(slot, kNavigatorSlot);
}

namespace {

// A directory of that name counts as well: the browser would not start
// either way, and the probes only ask whether the name is taken.
bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The value of an environment variable when it is set, not empty and fits
// capacity whole.
bool ReadVariable(const char* name, char* value, DWORD capacity)
{
    DWORD length = GetEnvironmentVariableA(name, value, capacity);
    return length > 0 && length < capacity;
}

// The private copy of PATH: the longest value an environment variable can
// hold, kept out of the stack.
char g_searchPath[32768];

// Tries entry + "\" + name for each ";"-separated entry of PATH. Entries
// starting with "." (relative ones) are passed over, and so is any entry
// whose joined path would not fit a Windows path. An empty entry is tried
// as "\" + name, the root of the current drive.
bool SearchPath(const char* name, char* out)
{
    if (!ReadVariable("PATH", g_searchPath, sizeof g_searchPath))
        return false;
    const char* entry = g_searchPath;
    for (;;) {
        const char* end = entry;
        while (*end != '\0' && *end != ';')
            ++end;
        size_t entryLength = static_cast<size_t>(end - entry);
        char directory[MAX_PATH];
        char path[MAX_PATH];
        if (entry[0] != '.' && entryLength < sizeof directory) {
            for (size_t i = 0; i < entryLength; ++i)
                directory[i] = entry[i];
            directory[entryLength] = '\0';
            if (FormatText(path, sizeof path, "%s\\%s", directory, name) && Exists(path)) {
                CopyText(out, kBrowserSlotSize, path);
                return true;
            }
        }
        if (*end == '\0')
            return false;
        entry = end + 1;
    }
}

}  // namespace

int FindProfileFile(const char* name, char* out)
{
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return 0;
    if (1 + length + TextLength(name) >= MAX_PATH)
        return 0;
    FormatText(path, sizeof path, "%s\\%s", path, name);
    if (Exists(path)) {
        CopyText(out, kBrowserSlotSize, path);
        return 1;
    }
    if (SearchPath(name, out))
        return 1;
    // Last, the current directory: the file is recorded by its bare name.
    if (Exists(name)) {
        CopyText(out, kBrowserSlotSize, name);
        return 1;
    }
    out[0] = '\0';
    return 0;
}

int ProbeNetkitDirectory(const char* relative, char* out)
{
    // NETKIT names the network kit's own INI file (or a bare drive): the
    // browser file lies below the directory of that file.
    char path[MAX_PATH];
    if (!ReadVariable("NETKIT", path, sizeof path))
        return 0;
    char* cut = nullptr;
    for (char* p = path; *p != '\0'; ++p) {
        if (*p == '\\')
            cut = p;
    }
    if (cut == nullptr) {
        for (char* p = path; *p != '\0'; ++p) {
            if (*p == ':')
                cut = p;
        }
    }
    if (cut == nullptr)
        return 0;
    cut[1] = '\0';
    if (!AppendText(path, sizeof path, relative) || !Exists(path))
        return 0;
    CopyText(out, kBrowserSlotSize, path);
    return 1;
}

int ProbeFixedDrives(const char* relative, char* out)
{
    // A Navigator that keeps its settings below the user's key is edited
    // there; only an older one has the INI file.
    if (TextEquals(relative, kNavigatorIni)) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kNavigatorKey, 0, KEY_QUERY_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegCloseKey(key);
            CopyText(out, kBrowserSlotSize, kNavigatorSlot);
            return 1;
        }
    }
    // Only fixed disks are looked at; critical-error boxes stay off while
    // the drives are asked, and the caller's error mode is set back after.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(previousMode | SEM_FAILCRITICALERRORS);
    int found = 0;
    for (char letter = 'A'; letter <= 'Z' && !found; ++letter) {
        char root[4] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_FIXED)
            continue;
        char path[MAX_PATH];
        if (CopyText(path, sizeof path, root) && AppendText(path, sizeof path, relative) &&
            Exists(path)) {
            CopyText(out, kBrowserSlotSize, path);
            found = 1;
        }
    }
    SetErrorMode(previousMode);
    return found;
}

int DiscoverBrowsers()
{
    g_browsers.count = 0;

    char* slot = g_browsers.slots[g_browsers.count];
    if (FindProfileFile("emosaic.ini", slot) ||
        ProbeNetkitDirectory("mosaic\\emosaic.ini", slot) ||
        ProbeFixedDrives("win32app\\spyglass\\emosaic.ini", slot))
        ++g_browsers.count;

    slot = g_browsers.slots[g_browsers.count];
    if (FindProfileFile("mosaic.ini", slot) || ProbeFixedDrives("mosaic\\mosaic.ini", slot))
        ++g_browsers.count;

    slot = g_browsers.slots[g_browsers.count];
    if (ProbeNetkitDirectory("mosaic\\smosaic.ini", slot))
        ++g_browsers.count;

    slot = g_browsers.slots[g_browsers.count];
    if (ProbeFixedDrives(kNavigatorIni, slot))
        ++g_browsers.count;

    return g_browsers.count > 0 ? 1 : 0;
}
