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

// The "default" viewer, lowered; false when it was too long to read whole.
bool ReadLoweredViewer(const char* section, const char* file, char (&value)[kValueSize])
{
    ReadOutcome outcome = ReadProfileText(section, kDefaultKey, file, value, sizeof value);
    LowerAscii(value);
    return outcome != ReadOutcome::NotWhole;
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
        !ReadLoweredViewer(kViewersSection, mailIni, previous))
        return 3;
    // A command that already runs the viewer is not backed up, so a second
    // install keeps the first backup.
    if (previous[0] != '\0' && FindSubtext(previous, "sorbix") == nullptr)
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
    ReadLoweredViewer(kViewersSection, mailIni, current);
    if (FindSubtext(current, "sorbix") == nullptr)
        return 1;
    // The backup goes back as it was kept, in lower case; the backup entry
    // stays, emptied.
    if (!ReadLoweredViewer(kBackupSection, mailIni, backup))
        return 1;
    WritePrivateProfileStringA(kViewersSection, kDefaultKey, backup, mailIni);
    WritePrivateProfileStringA(kBackupSection, kDefaultKey, "", mailIni);
    return 1;
}
