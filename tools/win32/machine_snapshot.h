// What a machine holds in the places a setup and its removal touch: the
// watched registry key trees, INI files line by line, and files. Two
// snapshots give the list of their differences, one line per difference, in
// a fixed order. The setup script host (--diff, --save-state, --diff-from)
// and the round-trip test read the machine through this one engine and the
// one list of watched keys below.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct WatchedKey {
    HKEY root;
    const char* key;
    const char* shown;  // how differences name it, for example "HKLM\SOFTWARE\Quorvane"
};

// The registry places a setup of the viewer or its removal may touch: the
// viewer's own keys (and those of its former makers), the shared-file,
// start-up and help lists, the host applications' keys, and the key a user
// hive is mounted as for a moment.
extern const WatchedKey kWatchedKeys[];
extern const size_t kWatchedKeyCount;

// The long root name of a watched key's root ("HKEY_LOCAL_MACHINE").
const char* RootName(HKEY root);

class MachineSnapshot {
public:
    // Every watched key tree that exists.
    void AddWatchedKeys();
    // A key tree, named in the differences by shown.
    void AddKeyTree(HKEY root, const std::string& key, const std::string& shown);
    // A file's bytes, or that it is missing.
    void AddFile(const std::string& path);
    // A file only listed by name (its bytes change without meaning), or a
    // directory.
    void AddListedFile(const std::string& path);
    void AddDirectory(const std::string& path);
    // An INI file line by line, each line with its own line end, so that a
    // difference names its section and the exact bytes of the line (a line
    // that does not end in CR LF, or holds other bytes than printable ASCII,
    // says so). A file already added keeps what it held then.
    void AddIniFile(const std::string& path);
    bool HasIniFile(const std::string& path) const { return iniLines_.count(path) != 0; }
    std::vector<std::string> IniFiles() const;
    // The INI files of other that this snapshot lacks, as other holds them.
    void AddIniFilesFrom(const MachineSnapshot& other);

    // One line per difference from before to this snapshot:
    //   "+ key tree K" / "- key tree K"       the topmost key added or removed
    //   "+ K : name = data" / "- ..." / "~ K : name = old -> new"
    //   "+ file F" / "- file F" / "~ file F"   a file made, removed or changed
    //   "+ F [section] line" / "- F [section] line"  an INI line added or gone
    // Data is written as REGEDIT4 writes it ("text", dword:..., hex(N):...).
    std::vector<std::string> DifferencesFrom(const MachineSnapshot& before) const;

    // A snapshot kept in a file between two runs of the host.
    bool Save(const std::string& path) const;
    bool Load(const std::string& path);

private:
    std::map<std::string, std::string> keys_;    // shown key path -> "" (it exists)
    std::map<std::string, std::string> values_;  // shown key path + " : " + name -> data text
    std::map<std::string, std::string> files_;   // path -> bytes, or a mark
    std::map<std::string, std::vector<std::string>> iniLines_;  // path -> "[section] line"
    std::map<std::string, bool> iniExists_;
};

// A file's bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);

// The watched key trees that exist, as REGEDIT4 text with its header line.
std::string ExportWatchedKeys();
