#include "support/import_patch.h"

#include <gtest/gtest.h>

#include "import_table.h"

ImportPatch::ImportPatch(HMODULE module, const char* dllName, const char* functionName,
                         void* replacement)
{
    slot_ = FindImportSlot(module, dllName, functionName);
    if (slot_ == nullptr) {
        ADD_FAILURE() << "module does not import " << dllName << "!" << functionName;
        return;
    }
    original_ = ReplaceImportSlot(slot_, replacement);
}

ImportPatch::~ImportPatch()
{
    if (slot_ != nullptr)
        ReplaceImportSlot(slot_, original_);
}
