#include "viewers.h"

#include <windows.h>

#include "browser_settings.h"
#include "common/profile_access.h"
#include "common/text.h"
#include "discovery.h"

namespace {

// A MIME type and the viewer command travel in buffers of this size, so
// each holds at most 127 characters.
const int kCommandSize = 128;
// depend.ini lists at most 254 types.
const int kMaxTypes = 255;

enum TypeState { kNewType = 0, kListedType = 1, kImageType = 2 };

struct MimeTypeEntry {
    char type[kCommandSize];
    char suffixes[kSettingSize];
    int state;
    bool viewerWasOurs;  // the browser's command for the type already ran the viewer
};

// Module-wide, zero at load: the module lives for a single call.
MimeTypeEntry g_types[kMaxTypes];
int g_typeCount;

// A value of depend.ini.
ReadOutcome ReadDepend(const char* section, const char* key, const char* dependIni,
                       SettingValue& value)
{
    value.result = ReadProfileText(section, key, dependIni, value.text, sizeof value.text);
    return value.result;
}

bool IsImageType(const char* type)
{
    return TextEqualsNoCase(type, "image/jpeg") || TextEqualsNoCase(type, "image/gif");
}

// Reads "MIME Types" and each type's "MIME Suffixes" from depend.ini. A type
// that would not fit its buffer, a missing or over-long suffix list, or 255
// types or more fail before any browser is touched.
bool ReadTypeList(const char* dependIni)
{
    g_typeCount = 0;
    for (int n = 0;; ++n) {
        char key[16];
        FormatText(key, sizeof key, "TYPE%d", n);
        SettingValue type;
        if (ReadDepend("MIME Types", key, dependIni, type) == ReadOutcome::Missing)
            return true;
        MimeTypeEntry& entry = g_types[n];
        if (type.result == ReadOutcome::NotWhole ||
            !CopyText(entry.type, sizeof entry.type, type.text))
            return false;
        SettingValue suffixes;
        if (ReadDepend("MIME Suffixes", entry.type, dependIni, suffixes) != ReadOutcome::Whole)
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

// The settings of the browser in a slot of the list: Navigator's keys, or
// the browser file, whose name for the profile functions goes to file.
BrowserSettings SettingsOf(const char* slot, char (&file)[kBrowserSlotSize + 2])
{
    if (IsNavigatorSlot(slot))
        return NavigatorSettings();
    ProfilePath(slot, file);
    return FileSettings(file);
}

void TypeKey(char (&key)[16], int index)
{
    FormatText(key, sizeof key, "TYPE%d", index);
}

// Sets the states afresh for one browser and returns the first free index
// of its type list.
int MarkListedTypes(const BrowserSettings& browser)
{
    for (int i = 0; i < g_typeCount; ++i) {
        g_types[i].state = IsImageType(g_types[i].type) ? kImageType : kNewType;
        g_types[i].viewerWasOurs = false;
    }
    for (int t = 0;; ++t) {
        char key[16];
        TypeKey(key, t);
        SettingValue listed;
        if (ReadSetting(browser, kViewers, key, listed) == ReadOutcome::Missing)
            return t;
        if (listed.result == ReadOutcome::NotWhole)
            continue;  // longer than any type install registers, or not text
        for (int i = 0; i < g_typeCount; ++i) {
            if (g_types[i].state == kNewType && TextEqualsNoCase(g_types[i].type, listed.text)) {
                g_types[i].state = kListedType;
                break;
            }
        }
    }
}

// Appends the new types to the type list from index t on. An index the
// browser already uses (past a gap in its list) is passed over, so its
// own entries stay.
void AppendNewTypes(const BrowserSettings& browser, int t)
{
    for (int i = 0; i < g_typeCount; ++i) {
        if (g_types[i].state != kNewType)
            continue;
        char key[16];
        SettingValue taken;
        for (TypeKey(key, t); ReadSetting(browser, kViewers, key, taken) != ReadOutcome::Missing;
             TypeKey(key, t))
            ++t;
        WriteSetting(browser, kViewers, key, g_types[i].type);
        ++t;
    }
}

// A value of the browser's that is too long to be kept whole in a backup
// (or, in Navigator's keys, is no plain text) is left as it is, neither
// backed up nor replaced.
void SetViewers(const BrowserSettings& browser, const char* command)
{
    for (int i = 0; i < g_typeCount; ++i) {
        MimeTypeEntry& entry = g_types[i];
        if (entry.state == kImageType)
            continue;
        SettingValue old;
        if (ReadSetting(browser, kViewers, entry.type, old) == ReadOutcome::NotWhole)
            continue;
        if (old.result == ReadOutcome::Whole) {
            if (!IsViewersCommand(browser, old.text))
                WriteSetting(browser, kOViewers, entry.type, old.text);
            else
                entry.viewerWasOurs = true;
        }
        WriteSetting(browser, kViewers, entry.type, command);
    }
}

// Suffixes the viewer's own command came with are an earlier install's:
// backing them up would lose the browser's own on deinstall.
void SetSuffixes(const BrowserSettings& browser)
{
    for (int i = 0; i < g_typeCount; ++i) {
        const MimeTypeEntry& entry = g_types[i];
        if (entry.state == kImageType)
            continue;
        SettingValue old;
        if (ReadSetting(browser, kSuffixes, entry.type, old) == ReadOutcome::NotWhole)
            continue;
        if (old.result == ReadOutcome::Whole && !entry.viewerWasOurs)
            WriteSetting(browser, kOSuffixes, entry.type, old.text);
        WriteSetting(browser, kSuffixes, entry.type, entry.suffixes);
    }
}

// New types get depend.ini's encoding. A listed type keeps its own, which is
// backed up all the same: deinstall, removing the viewer's command from a
// type that had none, removes its companions and gives back what was kept.
bool SetEncodings(const BrowserSettings& browser, const char* dependIni)
{
    for (int i = 0; i < g_typeCount; ++i) {
        const MimeTypeEntry& entry = g_types[i];
        if (entry.state == kImageType)
            continue;
        SettingValue old;
        ReadSetting(browser, kEncodings, entry.type, old);
        if (entry.state == kListedType) {
            if (old.result == ReadOutcome::Whole && !entry.viewerWasOurs)
                WriteSetting(browser, kOEncodings, entry.type, old.text);
            continue;
        }
        if (old.result == ReadOutcome::Whole)
            WriteSetting(browser, kOEncodings, entry.type, old.text);
        SettingValue encoding;
        if (ReadDepend("Encodings", entry.type, dependIni, encoding) != ReadOutcome::Whole)
            return false;
        if (old.result != ReadOutcome::NotWhole)
            WriteSetting(browser, kEncodings, entry.type, encoding.text);
    }
    return true;
}

// Every type's description is written, image types and listed ones too.
// The browser's own earlier description is backed up so that deinstall
// gives it back: a new type's whenever there is one; a listed or image
// type's unless the viewer was already ours, a backup of it is kept
// already (both an earlier install's doing), or it is the very text being
// written.
bool SetDescriptions(const BrowserSettings& browser, const char* dependIni)
{
    for (int i = 0; i < g_typeCount; ++i) {
        const MimeTypeEntry& entry = g_types[i];
        SettingValue old;
        ReadSetting(browser, kDescriptions, entry.type, old);
        if (entry.state == kNewType && old.result == ReadOutcome::Whole)
            WriteSetting(browser, kODescriptions, entry.type, old.text);
        SettingValue description;
        if (ReadDepend("MIME Descriptions", entry.type, dependIni, description) !=
            ReadOutcome::Whole)
            return false;
        if (old.result == ReadOutcome::NotWhole)
            continue;
        SettingValue kept;
        if (entry.state != kNewType && old.result == ReadOutcome::Whole && !entry.viewerWasOurs &&
            !TextEquals(old.text, description.text) &&
            ReadSetting(browser, kODescriptions, entry.type, kept) == ReadOutcome::Missing)
            WriteSetting(browser, kODescriptions, entry.type, old.text);
        WriteSetting(browser, kDescriptions, entry.type, description.text);
    }
    return true;
}

enum InstallOutcome {
    kInstalled,
    kDependIniIncomplete,  // an encoding or description missing: install fails
    kKeyNotMade,           // one of Navigator's keys cannot be had: install ends
};

// Edits one browser. Navigator's keys are made (or opened) as each step
// needs them, the previous pair closed first; the file variant has nothing
// to open. Stopping early, the browser keeps what was written so far.
InstallOutcome InstallInBrowser(BrowserSettings& browser, const char* dependIni,
                                const char* command)
{
    if (!MakeSectionKey(browser, kViewers))
        return kKeyNotMade;
    int t = MarkListedTypes(browser);
    AppendNewTypes(browser, t);

    if (!MakeSectionKey(browser, kOViewers))
        return kKeyNotMade;
    SetViewers(browser, command);
    CloseSectionKeys(browser);

    if (!MakeSectionKey(browser, kOSuffixes) || !MakeSectionKey(browser, kSuffixes))
        return kKeyNotMade;
    SetSuffixes(browser);
    CloseSectionKeys(browser);

    if (!MakeSectionKey(browser, kOEncodings) || !MakeSectionKey(browser, kEncodings))
        return kKeyNotMade;
    if (!SetEncodings(browser, dependIni))
        return kDependIniIncomplete;
    CloseSectionKeys(browser);

    if (!MakeSectionKey(browser, kODescriptions) || !MakeSectionKey(browser, kDescriptions))
        return kKeyNotMade;
    if (!SetDescriptions(browser, dependIni))
        return kDependIniIncomplete;
    return kInstalled;
}

bool IsViewerCommand(const char* command)
{
    return FindSubtext(command, "sorbix.exe") != nullptr ||
           FindSubtext(command, "sorbix4.exe") != nullptr;
}

// Gives back what install kept, for every type of the browser's list.
// Where the type's command is the viewer's and no command was kept, the
// command goes, and with it each companion value that has no backup to
// take its place, unless it is one install could not have written (too
// long to keep whole, or not text). Kept values are written over the
// current ones in place.
void RemoveFromBrowser(const BrowserSettings& browser)
{
    const SettingsSection restored[][2] = {
        {kOSuffixes, kSuffixes},
        {kOEncodings, kEncodings},
        {kODescriptions, kDescriptions},
    };
    for (int t = 0;; ++t) {
        char key[16];
        TypeKey(key, t);
        SettingValue type;
        if (ReadSetting(browser, kViewers, key, type) == ReadOutcome::Missing)
            break;
        if (type.result == ReadOutcome::NotWhole)
            continue;

        SettingValue value;
        bool ours = false;
        if (ReadSetting(browser, kOViewers, type.text, value) == ReadOutcome::Whole) {
            WriteSetting(browser, kViewers, type.text, value.text);
        } else if (ReadSetting(browser, kViewers, type.text, value) == ReadOutcome::Whole &&
                   IsViewerCommand(value.text)) {
            ours = true;
            DeleteSetting(browser, kViewers, type.text);
        }
        for (const auto& pair : restored) {
            if (ReadSetting(browser, pair[0], type.text, value) == ReadOutcome::Whole)
                WriteSetting(browser, pair[1], type.text, value.text);
            else if (ours && ReadSetting(browser, pair[1], type.text, value) == ReadOutcome::Whole)
                DeleteSetting(browser, pair[1], type.text);
        }
    }
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
    // any browser is touched.
    char directoryCopy[256];
    char command[kCommandSize];
    if (!CopyText(directoryCopy, sizeof directoryCopy, directory) ||
        !FormatText(command, sizeof command, "%s\\%s %%s", directoryCopy, "sorbix.exe"))
        return 1;
    // No type to register: no browser is touched (no key of Navigator's made).
    if (g_typeCount == 0)
        return 0;

    for (int b = 0; b < g_browsers.count; ++b) {
        char file[kBrowserSlotSize + 2];
        BrowserSettings browser = SettingsOf(g_browsers.slots[b], file);
        InstallOutcome outcome = InstallInBrowser(browser, dependIni, command);
        CloseSectionKeys(browser);
        if (outcome == kDependIniIncomplete)
            return 1;
        if (outcome == kKeyNotMade)
            return 0;
    }
    return 0;
}

int RemoveViewers()
{
    if (!DiscoverBrowsers())
        return 0;
    for (int b = 0; b < g_browsers.count; ++b) {
        char file[kBrowserSlotSize + 2];
        BrowserSettings browser = SettingsOf(g_browsers.slots[b], file);
        // Navigator's keys are all opened first; if any cannot be, deinstall
        // stops there and nothing of Navigator's is touched.
        if (!OpenSectionKeys(browser))
            return 0;
        RemoveFromBrowser(browser);
        CloseSectionKeys(browser);
        DeleteBackups(browser);
    }
    return 0;
}
