// Registry keys as REGEDIT4 text, the form setup authors read and import.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct RegistryValueData {
    DWORD type = REG_NONE;
    std::string bytes;
};

struct RegistryKeyContents {
    std::string path;  // as fullPath names it, with the subkeys' names added
    std::vector<std::pair<std::string, RegistryValueData>> values;  // in enumeration order
};

// The key and all its subkeys, each before its own subkeys; empty when the
// key is missing or the root unknown.
std::vector<RegistryKeyContents> ReadRegistryTree(const std::string& fullPath);

// The same below an open root; the paths are subKey and its subkeys.
std::vector<RegistryKeyContents> ReadRegistryTree(HKEY root, const std::string& subKey);

// Splits "HKEY_LOCAL_MACHINE\SOFTWARE\..." (or "HKLM\...") into its root and
// the path below it; false for an unknown root.
bool SplitRegistryPath(const std::string& fullPath, HKEY* root, std::string* subKey);

// One value as a REGEDIT4 line: "name"=data (@ for the default value).
std::string RegeditValueLine(const std::string& name, DWORD type, const std::string& bytes);

// The key and all its subkeys as REGEDIT4 blocks (no "REGEDIT4" header line),
// values in the order the registry enumerates them. A missing key gives a
// comment line saying so. fullPath names the key as the text shows it.
std::string RegeditText(const std::string& fullPath);
