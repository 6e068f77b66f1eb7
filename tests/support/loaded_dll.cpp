#include "support/loaded_dll.h"

#include <gtest/gtest.h>

LoadedDll::LoadedDll(const std::string& path) : module_(LoadLibraryA(path.c_str()))
{
    EXPECT_NE(module_, nullptr) << "cannot load " << path << ", error " << GetLastError();
}

LoadedDll::~LoadedDll()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
}

FARPROC LoadedDll::ExportAddress(unsigned ordinal) const
{
    FARPROC address = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
    EXPECT_NE(address, nullptr) << "no export at ordinal " << ordinal;
    return address;
}
