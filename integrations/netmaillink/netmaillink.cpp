// Dralin mail integration: makes the viewer the mail program's default
// viewer in "maildr.ini", beside the network kit's "netkit.ini", and keeps
// the previous command in a backup section.
#include <windows.h>

#include "common/profile_access.h"
#include "common/text.h"
#include "integrations/module_contract.h"

SORBIX_DECLARE_MODULE_CONTRACT(DRIntAvaliable, DRIntInstall, DRIntDeinstall)

namespace {

const char kViewersSection[] = "Viewers";
const char kBackupSection[] = "Sorbix Backup - Viewers";
const char kDefaultKey[] = "default";
// The mail program's command buffer: at most 51 characters.
const int kCommandSize = 52;
// A "default" value that fills this buffer may have been cut, and counts as
// too long to be kept whole.
const int kValueSize = 256;

enum Mode { kStrict, kLenient };

// Fills path (a Windows path) with the mail INI path derived from NETKIT.
// Strict mode wants the kit's INI name in the value; lenient mode (deinstall)
// takes a value without it as the path itself. A value that does not fit
// fails in both modes.
bool LocateMailIni(char (&path)[MAX_PATH], Mode mode)
{
    DWORD length = GetEnvironmentVariableA("NETKIT", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return false;
    LowerAscii(path);
    const char* kitName = FindSubtext(path, "netkit.ini");
    if (kitName == nullptr)
        return mode == kLenient;
    path[kitName - path] = '\0';
    return AppendName(path, sizeof path, "maildr.ini");
}

// The "default" viewer as it stands; false when it was too long to read
// whole.
bool ReadViewer(const char* section, const char* file, char (&value)[kValueSize])
{
    return ReadProfileText(section, kDefaultKey, file, value, sizeof value) !=
           ReadOutcome::NotWhole;
}

// Whether a command runs the viewer: "sorbix" in it, letter case aside.
bool NamesTheViewer(const char* command)
{
    char lowered[kValueSize];
    if (!CopyText(lowered, sizeof lowered, command))
        return false;
    LowerAscii(lowered);
    return FindSubtext(lowered, "sorbix") != nullptr;
}

}  // namespace

extern "C" int WINAPI WEP(DWORD)
{
    return 1;
}

extern "C" int WINAPI DRIntAvaliable()
{
    char mailIni[MAX_PATH];
    if (!LocateMailIni(mailIni, kStrict))
        return 0;
    return GetFileAttributesA(mailIni) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

extern "C" int WINAPI DRIntInstall(const char* directory, const char*)
{
    // Nothing is written unless the whole command fits and the previous one
    // could be read whole for its backup.
    char mailIni[MAX_PATH];
    char command[kCommandSize];
    char previous[kValueSize];
    if (!LocateMailIni(mailIni, kStrict) ||
        !JoinName(command, sizeof command, directory, "sorbix.exe") ||
        !ReadViewer(kViewersSection, mailIni, previous))
        return 3;
    // The backup is the command as it was, letter case included. A command
    // that already runs the viewer is not backed up, so a second install
    // keeps the first backup.
    if (previous[0] != '\0' && !NamesTheViewer(previous))
        WritePrivateProfileStringA(kBackupSection, kDefaultKey, previous, mailIni);
    WritePrivateProfileStringA(kViewersSection, kDefaultKey, command, mailIni);
    return 3;
}

extern "C" int WINAPI DRIntDeinstall(const char*, const char*)
{
    char mailIni[MAX_PATH];
    char current[kValueSize];
    char backup[kValueSize];
    if (!LocateMailIni(mailIni, kLenient))
        return 1;
    ReadViewer(kViewersSection, mailIni, current);
    if (!NamesTheViewer(current))
        return 1;
    // The backup goes back as it stands (an earlier install kept it in small
    // letters); the backup entry stays, emptied.
    if (!ReadViewer(kBackupSection, mailIni, backup))
        return 1;
    WritePrivateProfileStringA(kViewersSection, kDefaultKey, backup, mailIni);
    WritePrivateProfileStringA(kBackupSection, kDefaultKey, "", mailIni);
    return 1;
}
