// What a machine holds in the places a setup and its removal touch: registry
// key trees, files, and the key trees inside hive files. Two snapshots give
// the list of their differences, one line per difference, in a fixed order.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class MachineSnapshot {
public:
    // A key tree, named in the differences by shown (for example
    // "HKCU\SOFTWARE\Microsoft\Mail").
    void AddKeyTree(HKEY root, const std::string& key, const std::string& shown);
    // A file's bytes, or that it is missing.
    void AddFile(const std::string& path);
    // An INI file line by line, each line with its own line end, so that a
    // difference names its section and the exact bytes of the line (a line
    // that does not end in CR LF, or holds other bytes than printable ASCII,
    // says so).
    void AddIniFile(const std::string& path);
    // Every file below a directory (names and bytes); a file whose name ends
    // with one of skippedSuffixes is only listed, not read.
    void AddDirectoryTree(const std::string& directory, const std::vector<std::string>& skippedSuffixes);
    // The key tree inside a hive file, mounted for a moment.
    void AddHiveFile(const std::string& path, const std::string& shown);

    // One line per difference from before to this snapshot:
    //   "+ key tree K" / "- key tree K"       the topmost key added or removed
    //   "+ K : name = data" / "- ..." / "~ K : name = old -> new"
    //   "+ file F" / "- file F" / "~ file F"   a file made, removed or changed
    //   "+ F [section] line" / "- F [section] line"  an INI line added or gone
    std::vector<std::string> DifferencesFrom(const MachineSnapshot& before) const;

private:
    std::map<std::string, std::string> keys_;    // shown key path -> "" (it exists)
    std::map<std::string, std::string> values_;  // shown key path + " : " + name -> data text
    std::map<std::string, std::string> files_;   // path -> bytes, or missing
    std::map<std::string, std::vector<std::string>> iniLines_;  // path -> "[section] line"
    std::map<std::string, bool> iniExists_;
};
