// Registry keys as REGEDIT4 text, the form setup authors read and import.
#pragma once

#include <windows.h>

#include <string>

// Splits "HKEY_LOCAL_MACHINE\SOFTWARE\..." (or "HKLM\...") into its root and
// the path below it; false for an unknown root.
bool SplitRegistryPath(const std::string& fullPath, HKEY* root, std::string* subKey);

// One value as a REGEDIT4 line: "name"=data (@ for the default value).
std::string RegeditValueLine(const std::string& name, DWORD type, const std::string& bytes);

// The key and all its subkeys as REGEDIT4 blocks (no "REGEDIT4" header line),
// values in the order the registry enumerates them. A missing key gives a
// comment line saying so. fullPath names the key as the text shows it.
std::string RegeditText(const std::string& fullPath);
