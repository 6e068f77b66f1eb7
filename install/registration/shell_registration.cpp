#include "shell_registration.h"

#include "registry.h"
#include "registry_rows.h"
#include "text.h"

namespace {

const RegistryRow kContextMenuRows[] = {
    {"aud", "25"}, {"vid", "25"}, {"anim", "25"}, {"text", "22"}, {"doc", "22"},    {"html", "22"},
    {"pic", "21"}, {"wkb", "23"}, {"fax", "20"},  {"zip", "27"},  {"prsgfx", "21"}, {"html2", "22"},
};

const RegistryRow kFrameMenuRows[] = {
    {"aud", "19"},  {"vid", "18"}, {"anim", "26"}, {"DEFAULT", "1"}, {"doc", "13"},
    {"text", "13"}, {"html", "13"}, {"pic", "10"},  {"wkb", "12"},    {"fax", "11"},
    {"zip", "17"},  {"prsgfx", "16"}, {"html2", "13"},
};

const RegistryRow kIconRows[] = {
    {"aud", "109"}, {"vid", "110"}, {"anim", "110"}, {"doc", "105"},    {"text", "105"},
    {"html", "105"}, {"pic", "108"}, {"wkb", "106"},  {"fax", "108"},    {"zip", "107"},
    {"prsgfx", "108"}, {"html2", "105"},
};

// Data: the number of the option tab, written through WriteOptionTab.
const RegistryRow kTabRows[] = {
    {"aud", "8"}, {"vid", "8"}, {"anim", "8"}, {"doc", "7"}, {"html", "7"},    {"pic", "4"},
    {"wkb", "5"}, {"text", "6"}, {"fax", "2"}, {"zip", "3"}, {"prsgfx", "4"},
};

struct ShellKey {
    const char* path;
    const RegistryRow* rows;
    size_t count;
    bool optionTabs;
};

const ShellKey kShellKeys[] = {
    {"SOFTWARE\\Quorvane\\Sorbix\\ContextMenu", kContextMenuRows, CountOf(kContextMenuRows), false},
    {"SOFTWARE\\Quorvane\\Sorbix\\FrameMenu", kFrameMenuRows, CountOf(kFrameMenuRows), false},
    {"SOFTWARE\\Quorvane\\Sorbix\\Icon", kIconRows, CountOf(kIconRows), false},
    {"SOFTWARE\\Quorvane\\Sorbix\\Tab", kTabRows, CountOf(kTabRows), true},
};

const char kExtensionClassKey[] = "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}";
const char kExtensionServerKey[] = "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}\\InProcServer32";
const char kContextMenuHandlerKey[] =
    "*\\shellex\\ContextMenuHandlers\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}";

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key;
    char emptyClass[] = "";
    if (RegCreateKeyExA(root, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void SetText(HKEY key, const char* name, const char* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(TextLength(text) + 1));
}

// The server: "contmenu.dll" in the system folder of the common files when
// the machine names one, else in the script's module directory.
bool BuildServerPath(char (&path)[256], const char* moduleDirectory)
{
    char commonFiles[255];
    if (ReadRegString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                      commonFiles, sizeof commonFiles) &&
        commonFiles[0] != '\0')
        return JoinName(path, sizeof path, commonFiles, "system\\contmenu.dll");
    return JoinName(path, sizeof path, moduleDirectory, "contmenu.dll");
}

}  // namespace

void WriteOptionTab(HKEY key, const char* valueName, const char* number)
{
    char data[512];
    if (FormatText(data, sizeof data, "%s %s", "sxoption.dll", number))
        SetText(key, valueName, data);
}

int RegisterShellExtension(const char*, const char*, int shellMode, const char* moduleDirectory)
{
    for (const ShellKey& shellKey : kShellKeys) {
        HKEY key = CreateKey(HKEY_LOCAL_MACHINE, shellKey.path);
        if (key == nullptr)
            return 0;
        for (size_t i = 0; i < shellKey.count; ++i) {
            if (shellKey.optionTabs)
                WriteOptionTab(key, shellKey.rows[i].name, shellKey.rows[i].data);
            else
                SetText(key, shellKey.rows[i].name, shellKey.rows[i].data);
        }
        RegCloseKey(key);
    }

    HKEY key = CreateKey(HKEY_CLASSES_ROOT, kExtensionClassKey);
    if (key == nullptr)
        return 0;
    SetText(key, "", "Sorbix Context Menu Shell Extension");
    RegCloseKey(key);

    key = CreateKey(HKEY_CLASSES_ROOT, kExtensionServerKey);
    if (key == nullptr)
        return 0;
    if (shellMode != 2 && shellMode != 3) {
        RegCloseKey(key);
        return 1;
    }
    // A server path that does not fit is not stored cut: the extension is
    // left without a server and handler, and the registration reports failure.
    char serverPath[256];
    if (!BuildServerPath(serverPath, moduleDirectory)) {
        RegCloseKey(key);
        return 0;
    }
    SetText(key, "", serverPath);
    SetText(key, "ThreadingModel", "Apartment");
    RegCloseKey(key);

    key = CreateKey(HKEY_CLASSES_ROOT, kContextMenuHandlerKey);
    if (key == nullptr)
        return 0;
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 0);
    RegCloseKey(key);
    return 1;
}
