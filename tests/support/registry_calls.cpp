#include "registry_calls.h"

#include <gtest/gtest.h>

namespace {

SetValueRecorder* g_recorder = nullptr;
KeyCreationFailure* g_keyFailure = nullptr;
KeyOpeningFailure* g_openFailure = nullptr;

typedef LONG(WINAPI* SetValueFunction)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
typedef LONG(WINAPI* CreateKeyFunction)(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM,
                                        LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
typedef LONG(WINAPI* OpenKeyFunction)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);

bool NamedIn(const std::vector<std::string>& subKeys, LPCSTR subKey)
{
    for (const std::string& named : subKeys) {
        if (subKey != nullptr && lstrcmpiA(subKey, named.c_str()) == 0)
            return true;
    }
    return false;
}

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
    if (NamedIn(g_keyFailure->failing_, subKey))
        return ERROR_ACCESS_DENIED;
    return g_keyFailure->patch_->Original<CreateKeyFunction>()(
        root, subKey, reserved, keyClass, options, access, security, result, disposition);
}

KeyOpeningFailure::KeyOpeningFailure(HMODULE module, std::vector<std::string> failingSubKeys)
    : failing_(std::move(failingSubKeys))
{
    EXPECT_EQ(g_openFailure, nullptr) << "only one opening failure at a time";
    g_openFailure = this;
    patch_.reset(new ImportPatch(module, "ADVAPI32.dll", "RegOpenKeyExA",
                                 reinterpret_cast<void*>(&KeyOpeningFailure::Open)));
}

KeyOpeningFailure::~KeyOpeningFailure()
{
    patch_.reset();
    g_openFailure = nullptr;
}

LONG WINAPI KeyOpeningFailure::Open(HKEY root, LPCSTR subKey, DWORD options, REGSAM access,
                                    PHKEY result)
{
    if (NamedIn(g_openFailure->failing_, subKey))
        return ERROR_ACCESS_DENIED;
    return g_openFailure->patch_->Original<OpenKeyFunction>()(root, subKey, options, access,
                                                              result);
}
