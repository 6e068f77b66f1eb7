#include "registry_calls.h"

#include <gtest/gtest.h>

namespace {

SetValueRecorder* g_recorder = nullptr;
KeyCreationFailure* g_keyFailure = nullptr;

typedef LONG(WINAPI* SetValueFunction)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
typedef LONG(WINAPI* CreateKeyFunction)(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM,
                                        LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);

}  // namespace

SetValueRecorder::SetValueRecorder(HMODULE module)
{
    EXPECT_EQ(g_recorder, nullptr) << "only one recorder at a time";
    g_recorder = this;
    patch_.reset(new ImportPatch(module, "ADVAPI32.dll", "RegSetValueExA",
                                 reinterpret_cast<void*>(&SetValueRecorder::Record)));
}

SetValueRecorder::~SetValueRecorder()
{
    patch_.reset();
    g_recorder = nullptr;
}

LONG WINAPI SetValueRecorder::Record(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                     const BYTE* data, DWORD size)
{
    g_recorder->calls_.push_back(
        {name != nullptr ? name : "", type,
         std::string(reinterpret_cast<const char*>(data), data != nullptr ? size : 0)});
    return g_recorder->patch_->Original<SetValueFunction>()(key, name, reserved, type, data, size);
}

KeyCreationFailure::KeyCreationFailure(HMODULE module, std::vector<std::string> failingSubKeys)
    : failing_(std::move(failingSubKeys))
{
    EXPECT_EQ(g_keyFailure, nullptr) << "only one key failure at a time";
    g_keyFailure = this;
    patch_.reset(new ImportPatch(module, "ADVAPI32.dll", "RegCreateKeyExA",
                                 reinterpret_cast<void*>(&KeyCreationFailure::Create)));
}

KeyCreationFailure::~KeyCreationFailure()
{
    patch_.reset();
    g_keyFailure = nullptr;
}

LONG WINAPI KeyCreationFailure::Create(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                       DWORD options, REGSAM access,
                                       LPSECURITY_ATTRIBUTES security, PHKEY result,
                                       LPDWORD disposition)
{
    for (const std::string& failing : g_keyFailure->failing_) {
        if (subKey != nullptr && lstrcmpiA(subKey, failing.c_str()) == 0)
            return ERROR_ACCESS_DENIED;
    }
    return g_keyFailure->patch_->Original<CreateKeyFunction>()(
        root, subKey, reserved, keyClass, options, access, security, result, disposition);
}
