// Where the profile functions find an INI file the script or a DLL names.
#pragma once

#include <string>

// A bare file name lies in the Windows directory; any other name is made
// full against the current directory.
std::string ProfilePath(const std::string& file);

// The same path in capitals: one name for one file, however it was spelled.
std::string ProfileKey(const std::string& file);
