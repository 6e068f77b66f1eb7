#include "browser_settings.h"

#include "common/profile_access.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "navigator_keys.h"

namespace {

// The sections of a browser file, and Navigator's key for each.
const char* const kSectionNames[kSectionCount] = {
    "Viewers",   "OViewers",   "Suffixes",          "OSuffixes",
    "Encodings", "OEncodings", "MIME Descriptions", "OMIME Descriptions",
};
const char* const kSectionKeys[kSectionCount] = {
    kNavigatorViewersKey,   kNavigatorOViewersKey,   kNavigatorSuffixesKey,
    kNavigatorOSuffixesKey, kNavigatorEncodingsKey,  kNavigatorOEncodingsKey,
    kNavigatorDescriptionsKey, kNavigatorODescriptionsKey,
};

// Navigator's reads take 255 bytes: 254 characters and the zero.
const DWORD kNavigatorReadSize = 255;

}  // namespace

BrowserSettings FileSettings(const char* path)
{
    BrowserSettings settings = {};
    settings.file = path;
    return settings;
}

BrowserSettings NavigatorSettings()
{
    BrowserSettings settings = {};
    return settings;
}

bool MakeSectionKey(BrowserSettings& settings, SettingsSection section)
{
    if (settings.file != nullptr)
        return true;
    return CreateRegistryKey(HKEY_CURRENT_USER, kSectionKeys[section], "",
                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &settings.keys[section],
                             nullptr);
}

bool OpenSectionKeys(BrowserSettings& settings)
{
    if (settings.file != nullptr)
        return true;
    for (int section = 0; section < kSectionCount; ++section) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSectionKeys[section], 0, KEY_ALL_ACCESS,
                          &settings.keys[section]) != ERROR_SUCCESS) {
            settings.keys[section] = nullptr;
            CloseSectionKeys(settings);
            return false;
        }
    }
    return true;
}

void CloseSectionKeys(BrowserSettings& settings)
{
    for (HKEY& key : settings.keys) {
        if (key != nullptr)
            RegCloseKey(key);
        key = nullptr;
    }
}

ReadOutcome ReadSetting(const BrowserSettings& settings, SettingsSection section,
                        const char* name, SettingValue& value)
{
    if (settings.file != nullptr) {
        value.result =
            ReadProfileText(kSectionNames[section], name, settings.file, value.text, kSettingSize);
        return value.result;
    }
    DWORD type = REG_NONE;
    DWORD size = kNavigatorReadSize;
    value.text[0] = '\0';
    value.result = QueryRegistryValue(settings.keys[section], name, &type, value.text, &size);
    if (value.result != ReadOutcome::Whole)
        return value.result;
    // Only a text that writing it back gives byte for byte counts as read.
    bool text = type == REG_SZ && size > 0 && size <= kNavigatorReadSize &&
                value.text[size - 1] == '\0' && TextLength(value.text) == size - 1;
    if (!text) {
        value.text[0] = '\0';
        value.result = ReadOutcome::NotWhole;
    }
    return value.result;
}

void WriteSetting(const BrowserSettings& settings, SettingsSection section, const char* name,
                  const char* text)
{
    if (settings.file != nullptr)
        WritePrivateProfileStringA(kSectionNames[section], name, text, settings.file);
    else
        SetRegistryString(settings.keys[section], name, text);
}

void DeleteSetting(const BrowserSettings& settings, SettingsSection section, const char* name)
{
    if (settings.file != nullptr)
        WritePrivateProfileStringA(kSectionNames[section], name, nullptr, settings.file);
    else
        RegDeleteValueA(settings.keys[section], name);
}

void DeleteBackups(const BrowserSettings& settings)
{
    if (settings.file != nullptr) {
        const SettingsSection sections[] = {kOSuffixes, kOViewers, kOEncodings, kODescriptions};
        for (SettingsSection section : sections)
            WritePrivateProfileStringA(kSectionNames[section], nullptr, nullptr, settings.file);
        return;
    }
    const char* const keys[] = {kNavigatorOViewersKeyAsDeleted,
                                kNavigatorODescriptionsKeyAsDeleted,
                                kNavigatorOSuffixesKeyAsDeleted, kNavigatorOEncodingsKeyAsDeleted};
    for (const char* key : keys)
        RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

bool IsViewersCommand(const BrowserSettings& settings, const char* command)
{
    return FindSubtext(command, settings.file != nullptr ? "sorbix" : "sorbix.exe") != nullptr;
}
