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

// A value's data as REGEDIT4 writes it: "text" for a REG_SZ that is exactly
// a text of printable characters and its one terminating zero; dword:N for
// a four-byte REG_DWORD; hex:... for REG_BINARY; hex(T):... byte for byte for
// anything else, a REG_SZ holding a line feed, a carriage return or another
// control byte included (as text it would break the line it stands on).
std::string RegeditValueData(DWORD type, const std::string& bytes);

// One value as a REGEDIT4 line: "name"=data (@ for the default value).
std::string RegeditValueLine(const std::string& name, DWORD type, const std::string& bytes);

// The key and all its subkeys as REGEDIT4 blocks (no "REGEDIT4" header line),
// values in the order the registry enumerates them. A missing key gives a
// comment line saying so. fullPath names the key as the text shows it.
std::string RegeditText(const std::string& fullPath);
