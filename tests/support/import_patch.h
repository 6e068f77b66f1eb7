// Replaces one imported function of a loaded module for the length of a
// test: the module's import address table slot is pointed at the test's own
// function and set back by the destructor. This is how tests make a registry
// call fail, answer a message box or report another Windows version.
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
