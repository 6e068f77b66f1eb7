// Points one import address table slot of a loaded module at another
// function for the length of a test and sets it back in the destructor. The
// untyped half of ImportHook (support/import_hook.h), which tests use.
#pragma once

#include <windows.h>

class ImportPatch {
public:
    // dllName is compared without regard to case ("ADVAPI32.dll").
    ImportPatch(HMODULE module, const char* dllName, const char* functionName, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // The function the slot held before, to call through from a replacement.
    template <typename Function>
    Function Original() const
    {
        return reinterpret_cast<Function>(original_);
    }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
