#include "user_hives.h"

#include <windows.h>

#include "common/array_count.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "guarded_call.h"
#include "handler_value.h"
#include "message_ids.h"
#include "module_instance.h"

const char kScratchHiveName[] = "SXHIVE.TMP";

namespace {

const char kTemporaryKey[] = "sxtmpkey";
const char kMailKeyInHive[] = "sxtmpkey\\SOFTWARE\\Microsoft\\Mail\\Microsoft Mail";
const char kLogSuffix[] = ".log";

const char* const kPassPrivileges[] = {"SeBackupPrivilege", "SeRestorePrivilege",
                                       "SeSecurityPrivilege"};
const int kPassPrivilegeCount = static_cast<int>(CountOf(kPassPrivileges));

enum HiveSource { kProfilesSource, kConfigSource };

// Where the hives are and the search over them.
struct HiveSearch {
    HiveSource source;
    char directory[MAX_PATH];  // the searched directory, ending with a backslash
    HANDLE handle;
    WIN32_FIND_DATAA entry;
};

// The paths of one user's hive: its own file, the scratch name it is mounted
// from, and the log the system keeps beside a mounted hive.
struct HivePaths {
    char hive[MAX_PATH];
    char scratch[MAX_PATH];
    char scratchLog[MAX_PATH];
};

enum EntryOutcome { kNextEntry, kRightsMissing };

// The key a step holds open inside the mounted hive; closed by the pass when
// the step could not close it itself (it raised an exception), since a hive
// with an open key cannot be unmounted.
HKEY g_keyInHive = nullptr;

LONG CloseKeyInHive()
{
    HKEY key = g_keyInHive;
    g_keyInHive = nullptr;
    return key != nullptr ? RegCloseKey(key) : ERROR_SUCCESS;
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Starts the search of one source: directory (ending with a backslash) and
// the pattern searched in it. A path that does not fit counts as nothing
// found.
bool StartSearch(HiveSearch& search, HiveSource source, const char* windowsDirectory,
                 const char* subdirectory, const char* pattern)
{
    char searchPath[MAX_PATH];
    search.source = source;
    if (!JoinName(search.directory, sizeof search.directory, windowsDirectory, subdirectory) ||
        !CopyText(searchPath, sizeof searchPath, search.directory) ||
        !AppendText(searchPath, sizeof searchPath, pattern))
        return false;
    search.handle = FindFirstFileA(searchPath, &search.entry);
    return search.handle != INVALID_HANDLE_VALUE;
}

// Profiles first; the config directory's logs only when there are no
// profiles.
bool FindHiveSource(HiveSearch& search)
{
    char windowsDirectory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length == 0 || length >= sizeof windowsDirectory)
        return false;
    return StartSearch(search, kProfilesSource, windowsDirectory, "Profiles\\", "*.*") ||
           StartSearch(search, kConfigSource, windowsDirectory, "system32\\config\\", "*.LOG");
}

// Builds the paths of the entry's hive; false when the entry names no hive
// or a path would not fit its buffer (such a profile is passed over).
bool BuildHivePaths(const HiveSearch& search, HivePaths& paths)
{
    const char* name = search.entry.cFileName;
    if (name[0] == '.')
        return false;
    if (!CopyText(paths.hive, sizeof paths.hive, search.directory) ||
        !AppendText(paths.hive, sizeof paths.hive, name))
        return false;
    if (search.source == kProfilesSource) {
        if (!AppendText(paths.hive, sizeof paths.hive, "\\NTUSER.DAT"))
            return false;
    } else {
        // The log's name without its extension is the hive's.
        char* extension = LastCharacter(paths.hive, '.');
        if (extension == nullptr)
            return false;
        *extension = '\0';
    }
    char* lastBackslash = LastCharacter(paths.hive, '\\');
    if (lastBackslash == nullptr)
        return false;

    size_t directoryLength = static_cast<size_t>(lastBackslash - paths.hive) + 1;
    if (directoryLength >= sizeof paths.scratch)
        return false;
    for (size_t i = 0; i < directoryLength; ++i)
        paths.scratch[i] = paths.hive[i];
    paths.scratch[directoryLength] = '\0';
    return AppendText(paths.scratch, sizeof paths.scratch, kScratchHiveName) &&
           CopyText(paths.scratchLog, sizeof paths.scratchLog, paths.scratch) &&
           AppendText(paths.scratchLog, sizeof paths.scratchLog, kLogSuffix);
}

// Back from the scratch name to the hive's own path.
void PutHiveBack(const HivePaths& paths)
{
    MoveFileA(paths.scratch, paths.hive);
    DeleteFileA(paths.scratchLog);
}

// Reads the mounted hive's owner into attributes, runs the step and writes
// the hive anew to its own path, owned as it was. False when any part failed.
bool EditAndSaveHive(const HivePaths& paths, UserHiveStep step, void* context)
{
    // A security descriptor must be DWORD-aligned.
    DWORD ownerDescriptor[512 / sizeof(DWORD)];
    SECURITY_ATTRIBUTES attributes;
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = ownerDescriptor;
    attributes.bInheritHandle = FALSE;

    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTemporaryKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof ownerDescriptor;
    LONG ownerRead = RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION, ownerDescriptor, &size);
    RegCloseKey(key);
    if (ownerRead != ERROR_SUCCESS)
        return false;

    if (CallGuarded(step, context) == 0)
        return false;

    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTemporaryKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    LONG saved = RegSaveKeyA(key, paths.hive, &attributes);
    RegCloseKey(key);
    if (saved != ERROR_SUCCESS) {
        // The hive's own path was free before the save; whatever a failed
        // save left there is not the user's hive and would block the way
        // back.
        DeleteFileA(paths.hive);
        return false;
    }
    return true;
}

// One user's hive: scratch name, mounted, edited, written back, unmounted.
// Every failure after the move puts the hive back at its own path.
EntryOutcome ServeUserHive(const HivePaths& paths, UserHiveStep step, void* context)
{
    if (FileExists(paths.scratch))
        return kNextEntry;  // never overwrite a scratch file left behind
    if (!MoveFileA(paths.hive, paths.scratch))
        return kNextEntry;  // in use (its user is logged on) or no hive at all

    LONG loaded = RegLoadKeyA(HKEY_LOCAL_MACHINE, kTemporaryKey, paths.scratch);
    if (loaded != ERROR_SUCCESS) {
        PutHiveBack(paths);
        return loaded == ERROR_PRIVILEGE_NOT_HELD ? kRightsMissing : kNextEntry;
    }

    bool served = EditAndSaveHive(paths, step, context);
    CloseKeyInHive();
    RegUnLoadKeyA(HKEY_LOCAL_MACHINE, kTemporaryKey);
    if (served) {
        DeleteFileA(paths.scratch);
        DeleteFileA(paths.scratchLog);
    } else {
        PutHiveBack(paths);
    }
    return kNextEntry;
}

bool EnablePrivilege(HANDLE token, const LUID& privilege)
{
    TOKEN_PRIVILEGES enabled;
    enabled.PrivilegeCount = 1;
    enabled.Privileges[0].Luid = privilege;
    enabled.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    return AdjustTokenPrivileges(token, FALSE, &enabled, sizeof enabled, nullptr, nullptr) != FALSE;
}

// Tells the user that only the current user will be served.
void ShowRightsMessage(int installing)
{
    char text[512];
    char consequence[256];
    char caption[64];
    HINSTANCE module = ModuleInstance();
    if (LoadStringA(module, installing ? IDS_NO_RIGHTS_INSTALL : IDS_NO_RIGHTS_DEINSTALL, text,
                    sizeof text) == 0)
        text[0] = '\0';
    if (LoadStringA(module,
                    installing ? IDS_CURRENT_USER_ONLY_INSTALL : IDS_CURRENT_USER_ONLY_DEINSTALL,
                    consequence, sizeof consequence) == 0)
        consequence[0] = '\0';
    AppendText(text, sizeof text, consequence);
    if (LoadStringA(module, IDS_CAPTION, caption, sizeof caption) == 0)
        caption[0] = '\0';
    MessageBoxA(nullptr, text, caption, MB_OK);
}

// Runs the pass over the search with the privileges looked up; true when it
// ended for want of rights (the message is then due).
bool VisitUserHives(HiveSearch& search, HANDLE token, const LUID* privileges, UserHiveStep step,
                    void* context)
{
    for (int i = 0; i < kPassPrivilegeCount; ++i) {
        if (!EnablePrivilege(token, privileges[i]))
            return true;
    }
    do {
        HivePaths paths;
        if (!BuildHivePaths(search, paths))
            continue;
        if (ServeUserHive(paths, step, context) == kRightsMissing)
            return true;
    } while (FindNextFileA(search.handle, &search.entry));
    return false;
}

}  // namespace

void ForEachUserHive(void* context, UserHiveStep step, int installing)
{
    HiveSearch search;
    if (!FindHiveSource(search))
        return;

    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        FindClose(search.handle);
        return;
    }
    LUID privileges[kPassPrivilegeCount];
    bool lookedUp = true;
    for (int i = 0; i < kPassPrivilegeCount && lookedUp; ++i)
        lookedUp = LookupPrivilegeValueA(nullptr, kPassPrivileges[i], &privileges[i]) != FALSE;

    if (lookedUp) {
        if (VisitUserHives(search, token, privileges, step, context))
            ShowRightsMessage(installing);
        AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr);
    }
    CloseHandle(token);
    FindClose(search.handle);
}

int SetHandlerInHive(void* context)
{
    const char* handlerValue = static_cast<const char*>(context);
    DWORD disposition;
    if (!CreateRegistryKey(HKEY_LOCAL_MACHINE, kMailKeyInHive, "", REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, &g_keyInHive, &disposition)) {
        g_keyInHive = nullptr;
        return 0;
    }
    bool set = KeepOtherHandler(g_keyInHive) &&
               SetViewersHandler(g_keyInHive, handlerValue) == ERROR_SUCCESS;
    LONG closed = CloseKeyInHive();
    return set && closed == ERROR_SUCCESS ? 1 : 0;
}

int RemoveHandlerFromHive(void*)
{
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailKeyInHive, 0, KEY_ALL_ACCESS, &g_keyInHive) !=
        ERROR_SUCCESS) {
        g_keyInHive = nullptr;
        return 0;
    }
    // Nothing to give back leaves the hive unchanged: it is not saved.
    bool givenBack = GiveHandlerBack(g_keyInHive);
    LONG closed = CloseKeyInHive();
    return givenBack && closed == ERROR_SUCCESS ? 1 : 0;
}
