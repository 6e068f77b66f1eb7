#include "viewers.h"

#include <windows.h>

#include "common/profile_access.h"
#include "common/text.h"
#include "discovery.h"

namespace {

// A MIME type and the viewer command travel in buffers of this size, so
// each holds at most 127 characters.
const int kCommandSize = 128;
// Every profile read: a value that fills the buffer may have been cut, and
// counts as too long to be handled whole.
const int kValueSize = 256;
// depend.ini lists at most 254 types.
const int kMaxTypes = 255;

enum TypeState { kNewType = 0, kListedType = 1, kImageType = 2 };

struct MimeTypeEntry {
    char type[kCommandSize];
    char suffixes[kValueSize];
    int state;
    bool viewerWasOurs;  // the browser's command for the type already ran the viewer
};

// Module-wide, zero at load: the module lives for a single call.
MimeTypeEntry g_types[kMaxTypes];
int g_typeCount;

struct ProfileValue {
    char text[kValueSize];
    ReadOutcome result;
};

ReadOutcome ReadValue(const char* section, const char* key, const char* file, ProfileValue& value)
{
    value.result = ReadProfileText(section, key, file, value.text, sizeof value.text);
    return value.result;
}

void WriteValue(const char* section, const char* key, const char* text, const char* file)
{
    WritePrivateProfileStringA(section, key, text, file);
}

bool IsImageType(const char* type)
{
    return TextEqualsNoCase(type, "image/jpeg") || TextEqualsNoCase(type, "image/gif");
}

// Reads "MIME Types" and each type's "MIME Suffixes" from depend.ini. A type
// that would not fit its buffer, a missing or over-long suffix list, or 255
// types or more fail before any browser file is touched.
bool ReadTypeList(const char* dependIni)
{
    g_typeCount = 0;
    for (int n = 0;; ++n) {
        char key[16];
        FormatText(key, sizeof key, "TYPE%d", n);
        ProfileValue type;
        if (ReadValue("MIME Types", key, dependIni, type) == ReadOutcome::Missing)
            return true;
        MimeTypeEntry& entry = g_types[n];
        if (type.result == ReadOutcome::NotWhole ||
            !CopyText(entry.type, sizeof entry.type, type.text))
            return false;
        ProfileValue suffixes;
        if (ReadValue("MIME Suffixes", entry.type, dependIni, suffixes) != ReadOutcome::Whole)
            return false;
        CopyText(entry.suffixes, sizeof entry.suffixes, suffixes.text);
        g_typeCount = n + 1;
        if (g_typeCount >= kMaxTypes)
            return false;
    }
}

// The name handed to the profile functions for a browser file. A file found
// in the current directory is recorded by its bare name, which the profile
// functions would look for in the Windows directory: ".\" keeps them on the
// file that was found.
void ProfilePath(const char* slot, char (&path)[kBrowserSlotSize + 2])
{
    bool bare = FindSubtext(slot, "\\") == nullptr && FindSubtext(slot, ":") == nullptr;
    FormatText(path, sizeof path, bare ? ".\\%s" : "%s", slot);
}

// Sets the states afresh for one browser file and returns the first free
// index of its type list.
int MarkListedTypes(const char* file)
{
    for (int i = 0; i < g_typeCount; ++i) {
        g_types[i].state = IsImageType(g_types[i].type) ? kImageType : kNewType;
        g_types[i].viewerWasOurs = false;
    }
    int t = 0;
    for (;; ++t) {
        char key[16];
        FormatText(key, sizeof key, "TYPE%d", t);
        ProfileValue listed;
        if (ReadValue("Viewers", key, file, listed) == ReadOutcome::Missing)
            return t;
        if (listed.result == ReadOutcome::NotWhole)
            continue;  // longer than any type install registers
        for (int i = 0; i < g_typeCount; ++i) {
            if (g_types[i].state == kNewType && TextEqualsNoCase(g_types[i].type, listed.text)) {
                g_types[i].state = kListedType;
                break;
            }
        }
    }
}

// Edits one browser file; false when depend.ini lacks an encoding or a
// description, at which point the file keeps what was written so far.
bool InstallInFile(const char* file, const char* dependIni, const char* command)
{
    int t = MarkListedTypes(file);

    for (int i = 0; i < g_typeCount; ++i) {
        if (g_types[i].state != kNewType)
            continue;
        char key[16];
        FormatText(key, sizeof key, "TYPE%d", t++);
        WriteValue("Viewers", key, g_types[i].type, file);
    }

    // A value of the browser's that is too long to be kept whole in a
    // backup is left as it is, neither backed up nor replaced.
    for (int i = 0; i < g_typeCount; ++i) {
        MimeTypeEntry& entry = g_types[i];
        if (entry.state == kImageType)
            continue;
        ProfileValue old;
        if (ReadValue("Viewers", entry.type, file, old) == ReadOutcome::NotWhole)
            continue;
        if (old.result == ReadOutcome::Whole) {
            if (FindSubtext(old.text, "sorbix") == nullptr)
                WriteValue("OViewers", entry.type, old.text, file);
            else
                entry.viewerWasOurs = true;
        }
        WriteValue("Viewers", entry.type, command, file);
    }

    // Suffixes the viewer's own command came with are an earlier install's:
    // backing them up would lose the browser's own on deinstall.
    for (int i = 0; i < g_typeCount; ++i) {
        const MimeTypeEntry& entry = g_types[i];
        if (entry.state == kImageType)
            continue;
        ProfileValue old;
        if (ReadValue("Suffixes", entry.type, file, old) == ReadOutcome::NotWhole)
            continue;
        if (old.result == ReadOutcome::Whole && !entry.viewerWasOurs)
            WriteValue("OSuffixes", entry.type, old.text, file);
        WriteValue("Suffixes", entry.type, entry.suffixes, file);
    }

    for (int i = 0; i < g_typeCount; ++i) {
        const MimeTypeEntry& entry = g_types[i];
        if (entry.state != kNewType)
            continue;
        ProfileValue old;
        ReadValue("Encodings", entry.type, file, old);
        if (old.result == ReadOutcome::Whole)
            WriteValue("OEncodings", entry.type, old.text, file);
        ProfileValue encoding;
        if (ReadValue("Encodings", entry.type, dependIni, encoding) != ReadOutcome::Whole)
            return false;
        if (old.result != ReadOutcome::NotWhole)
            WriteValue("Encodings", entry.type, encoding.text, file);
    }

    // Every type's description is written, image types and listed ones too.
    // The browser's own earlier description is backed up so that deinstall
    // gives it back: a new type's whenever there is one; a listed or image
    // type's unless the viewer was already ours, a backup of it is kept
    // already (both an earlier install's doing), or it is the very text
    // being written.
    for (int i = 0; i < g_typeCount; ++i) {
        const MimeTypeEntry& entry = g_types[i];
        ProfileValue old;
        ReadValue("MIME Descriptions", entry.type, file, old);
        if (entry.state == kNewType && old.result == ReadOutcome::Whole)
            WriteValue("OMIME Descriptions", entry.type, old.text, file);
        ProfileValue description;
        if (ReadValue("MIME Descriptions", entry.type, dependIni, description) !=
            ReadOutcome::Whole)
            return false;
        if (old.result == ReadOutcome::NotWhole)
            continue;
        ProfileValue kept;
        if (entry.state != kNewType && old.result == ReadOutcome::Whole && !entry.viewerWasOurs &&
            !TextEquals(old.text, description.text) &&
            ReadValue("OMIME Descriptions", entry.type, file, kept) == ReadOutcome::Missing)
            WriteValue("OMIME Descriptions", entry.type, old.text, file);
        WriteValue("MIME Descriptions", entry.type, description.text, file);
    }
    return true;
}

bool IsViewerCommand(const char* command)
{
    return FindSubtext(command, "sorbix.exe") != nullptr || FindSubtext(command, "sorbix4.exe") != nullptr;
}

void RemoveFromFile(const char* file)
{
    const char* const restored[][2] = {
        {"OSuffixes", "Suffixes"},
        {"OEncodings", "Encodings"},
        {"OMIME Descriptions", "MIME Descriptions"},
    };
    for (int t = 0;; ++t) {
        char key[16];
        FormatText(key, sizeof key, "TYPE%d", t);
        ProfileValue type;
        if (ReadValue("Viewers", key, file, type) == ReadOutcome::Missing)
            break;
        if (type.result == ReadOutcome::NotWhole)
            continue;

        ProfileValue value;
        if (ReadValue("OViewers", type.text, file, value) == ReadOutcome::Whole) {
            WriteValue("Viewers", type.text, value.text, file);
        } else if (ReadValue("Viewers", type.text, file, value) == ReadOutcome::Whole &&
                   IsViewerCommand(value.text)) {
            WriteValue("Viewers", type.text, nullptr, file);
            WriteValue("Suffixes", type.text, nullptr, file);
            WriteValue("Encodings", type.text, nullptr, file);
            WriteValue("MIME Descriptions", type.text, nullptr, file);
        }
        for (const auto& pair : restored) {
            if (ReadValue(pair[0], type.text, file, value) == ReadOutcome::Whole)
                WriteValue(pair[1], type.text, value.text, file);
        }
    }
    const char* const backups[] = {"OSuffixes", "OViewers", "OEncodings", "OMIME Descriptions"};
    for (const char* section : backups)
        WriteValue(section, nullptr, nullptr, file);
}

}  // namespace

int InstallViewers(const char* dependIni, const char* directory)
{
    if (!ReadTypeList(dependIni))
        return 1;
    if (g_browsers.count == 0)
        return 0;

    // The command always inserts a backslash, also after one the directory
    // ends with. A command that does not fit its buffer fails install before
    // any browser file is touched.
    char directoryCopy[256];
    char command[kCommandSize];
    if (!CopyText(directoryCopy, sizeof directoryCopy, directory) ||
        !FormatText(command, sizeof command, "%s\\%s %%s", directoryCopy, "sorbix.exe"))
        return 1;

    for (int b = 0; b < g_browsers.count; ++b) {
        char file[kBrowserSlotSize + 2];
        ProfilePath(g_browsers.slots[b], file);
        if (!InstallInFile(file, dependIni, command))
            return 1;
    }
    return 0;
}

int RemoveViewers()
{
    if (!DiscoverBrowsers())
        return 0;
    for (int b = 0; b < g_browsers.count; ++b) {
        char file[kBrowserSlotSize + 2];
        ProfilePath(g_browsers.slots[b], file);
        RemoveFromFile(file);
    }
    return 0;
}
