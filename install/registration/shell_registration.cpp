#include "registration/shell_registration.h"

#include "common/text.h"
#include "frame/registry.h"
#include "frame/registry_layout.h"
#include "frame/table_writer.h"

namespace {

const ValueRow kContextMenuRows[] = {
    {"aud", "25"}, {"vid", "25"}, {"anim", "25"}, {"text", "22"}, {"doc", "22"},    {"html", "22"},
    {"pic", "21"}, {"wkb", "23"}, {"fax", "20"},  {"zip", "27"},  {"prsgfx", "21"}, {"html2", "22"},
};

const ValueRow kFrameMenuRows[] = {
    {"aud", "19"},  {"vid", "18"}, {"anim", "26"}, {"DEFAULT", "1"}, {"doc", "13"},
    {"text", "13"}, {"html", "13"}, {"pic", "10"},  {"wkb", "12"},    {"fax", "11"},
    {"zip", "17"},  {"prsgfx", "16"}, {"html2", "13"},
};

const ValueRow kIconRows[] = {
    {"aud", "109"}, {"vid", "110"}, {"anim", "110"}, {"doc", "105"},    {"text", "105"},
    {"html", "105"}, {"pic", "108"}, {"wkb", "106"},  {"fax", "108"},    {"zip", "107"},
    {"prsgfx", "108"}, {"html2", "105"},
};

// Data: the number of the option tab, written through WriteOptionTab.
const ValueRow kTabRows[] = {
    {"aud", "8"}, {"vid", "8"}, {"anim", "8"}, {"doc", "7"}, {"html", "7"},    {"pic", "4"},
    {"wkb", "5"}, {"text", "6"}, {"fax", "2"}, {"zip", "3"}, {"prsgfx", "4"},
};

// A fixed table and how its rows' data are stored.
struct ShellKey {
    KeyTable table;
    RowSetter set;
};

const ShellKey kShellKeys[] = {
    {{kContextMenuKey, RowsOf(kContextMenuRows)}, SetStringValue},
    {{kFrameMenuKey, RowsOf(kFrameMenuRows)}, SetStringValue},
    {{kIconKey, RowsOf(kIconRows)}, SetStringValue},
    {{kTabKey, RowsOf(kTabRows)}, WriteOptionTab},
};

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key;
    if (!CreateWritableKeyUnasked(root, path, &key))
        return nullptr;
    return key;
}

// The server: "contmenu.dll" in the system folder of the common files when
// the machine names one, else in the script's module directory.
bool BuildServerPath(char (&path)[256], const char* moduleDirectory)
{
    char commonFiles[255];
    if (ReadRegString(kCurrentVersionKey, "CommonFilesDir", commonFiles, sizeof commonFiles) &&
        commonFiles[0] != '\0')
        return JoinName(path, sizeof path, commonFiles, "system\\contmenu.dll");
    return JoinName(path, sizeof path, moduleDirectory, "contmenu.dll");
}

}  // namespace

void WriteOptionTab(HKEY key, const char* valueName, const char* number)
{
    char data[512];
    if (FormatText(data, sizeof data, "%s %s", "sxoption.dll", number))
        SetStringValue(key, valueName, data);
}

int RegisterShellExtension(const char*, const char*, int shellMode, const char* moduleDirectory)
{
    for (const ShellKey& shellKey : kShellKeys) {
        HKEY key = CreateKey(HKEY_LOCAL_MACHINE, shellKey.table.subKey);
        if (key == nullptr)
            return 0;
        SetRows(key, shellKey.table.rows, shellKey.set);
        RegCloseKey(key);
    }

    HKEY key = CreateKey(HKEY_CLASSES_ROOT, kShellExtensionClassKey);
    if (key == nullptr)
        return 0;
    SetStringValue(key, "", "Sorbix Context Menu Shell Extension");
    RegCloseKey(key);

    key = CreateKey(HKEY_CLASSES_ROOT, kShellExtensionServerKey);
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
    SetStringValue(key, "", serverPath);
    SetStringValue(key, "ThreadingModel", "Apartment");
    RegCloseKey(key);

    key = CreateKey(HKEY_CLASSES_ROOT, kContextMenuHandlerKey);
    if (key == nullptr)
        return 0;
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 0);
    RegCloseKey(key);
    return 1;
}
