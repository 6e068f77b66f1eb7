#include "profile_files.h"

#include <windows.h>

#include <ctype.h>

std::string ProfilePath(const std::string& file)
{
    if (file.find('\\') == std::string::npos && file.find(':') == std::string::npos) {
        char windows[MAX_PATH];
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        return std::string(windows, length) + "\\" + file;
    }
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : file;
}

std::string ProfileKey(const std::string& file)
{
    std::string path = ProfilePath(file);
    for (char& c : path)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return path;
}
