// One browser's viewer settings, wherever the browser keeps them: the
// sections of a Mosaic-family browser file, or Netscape Navigator's keys
// below HKEY_CURRENT_USER. Install and deinstall run the same steps on
// both; only reading, writing and deleting a value, and the keys that must
// be open for a step, differ.
#pragma once

#include <windows.h>

#include "common/read_outcome.h"

enum SettingsSection {
    kViewers,
    kOViewers,
    kSuffixes,
    kOSuffixes,
    kEncodings,
    kOEncodings,
    kDescriptions,
    kODescriptions,
    kSectionCount
};

// Every value is read with room for 254 characters and its terminating zero
// (Navigator's reads take 255 bytes, the profile reads one more, which they
// need to tell a value that fills the buffer from a longer one cut to fit).
const int kSettingSize = 256;

struct SettingValue {
    char text[kSettingSize];
    ReadOutcome result;
};

struct BrowserSettings {
    const char* file;          // the browser file; null for Navigator's keys
    HKEY keys[kSectionCount];  // Navigator's keys that are open, else null
};

// Settings kept in the browser file at path.
BrowserSettings FileSettings(const char* path);
// Settings kept in Navigator's keys, none of them open yet.
BrowserSettings NavigatorSettings();

// Navigator's keys: makes (or opens) the section's key with all access and
// keeps it open; false when it cannot be had. Always true for a file.
bool MakeSectionKey(BrowserSettings& settings, SettingsSection section);
// Opens all eight keys with all access, in the order of the sections; false
// (and none left open) when any of them cannot be opened. Always true for a
// file.
bool OpenSectionKeys(BrowserSettings& settings);
// Closes whatever keys are open.
void CloseSectionKeys(BrowserSettings& settings);

// Whole: the value's text, read whole; NotWhole: present, but too long to
// be kept whole, or (in Navigator's keys) not text stored as REG_SZ with
// one terminating zero, so it cannot be written back as it was; Missing:
// not there (for a file, also an empty value).
ReadOutcome ReadSetting(const BrowserSettings& settings, SettingsSection section,
                        const char* name, SettingValue& value);
void WriteSetting(const BrowserSettings& settings, SettingsSection section, const char* name,
                  const char* text);
void DeleteSetting(const BrowserSettings& settings, SettingsSection section, const char* name);

// Deletes the four backup sections (in a file) or keys (Navigator's; the
// keys must be closed), each in the order its variant has always used.
void DeleteBackups(const BrowserSettings& settings);

// A command already the viewer's, so no backup of the browser's own is
// taken from it. In a file that is any command with "sorbix" in it; in
// Navigator's keys, one that runs "sorbix.exe" (an earlier install's), so
// that every other command of Navigator's is kept and given back.
bool IsViewersCommand(const BrowserSettings& settings, const char* command);
