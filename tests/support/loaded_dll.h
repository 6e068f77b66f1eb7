// A DLL loaded as the setup script loads it, with its exports fetched by
// ordinal.
#pragma once

#include <windows.h>

#include <string>

class LoadedDll {
public:
    explicit LoadedDll(const std::string& path);
    ~LoadedDll();
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;

    HMODULE Handle() const { return module_; }

    // The export at ordinal as a function of type Function; fails the test
    // (and returns null) when there is none.
    template <typename Function>
    Function Export(unsigned ordinal) const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(ExportAddress(ordinal)));
    }

private:
    FARPROC ExportAddress(unsigned ordinal) const;
    HMODULE module_;
};
