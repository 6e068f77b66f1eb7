#include "support/test_paths.h"

#include <windows.h>

std::string BinaryDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of('\\'));
}

std::string BinaryFile(const std::string& name)
{
    return BinaryDirectory() + "\\" + name;
}
