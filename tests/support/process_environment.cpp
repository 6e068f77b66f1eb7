#include "support/process_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

ScopedVariable::ScopedVariable(const char* name, const char* value) : name_(name), existed_(false)
{
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size > 0) {
        std::vector<char> buffer(size);
        GetEnvironmentVariableA(name, buffer.data(), size);
        saved_ = buffer.data();
        existed_ = true;
    }
    Set(value);
}

ScopedVariable::~ScopedVariable()
{
    SetEnvironmentVariableA(name_.c_str(), existed_ ? saved_.c_str() : nullptr);
}

void ScopedVariable::Set(const char* value)
{
    SetEnvironmentVariableA(name_.c_str(), value);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& directory)
{
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof path, path);
    saved_.assign(path, length);
    Change(directory);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory()
{
    SetCurrentDirectoryA(saved_.c_str());
}

void ScopedCurrentDirectory::Change(const std::string& directory)
{
    EXPECT_TRUE(SetCurrentDirectoryA(directory.c_str())) << "cannot change to " << directory;
}
