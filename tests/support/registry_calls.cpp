#include "support/registry_calls.h"

RegistryCallLog::RegistryCallLog(HMODULE module)
    : create_(module, "ADVAPI32.dll", "RegCreateKeyExA",
              [this](HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
                  return Create(root, subKey, reserved, keyClass, options, access, security,
                                result, disposition);
              }),
      open_(module, "ADVAPI32.dll", "RegOpenKeyExA",
            [this](HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
                return Open(root, subKey, options, access, result);
            }),
      set_(module, "ADVAPI32.dll", "RegSetValueExA",
           [this](HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                  DWORD size) { return Set(key, name, reserved, type, data, size); }),
      close_(module, "ADVAPI32.dll", "RegCloseKey", [this](HKEY key) { return Close(key); })
{
}

void RegistryCallLog::FailKey(const std::string& subKey, HKEY root)
{
    failing_.push_back({root, subKey});
}

void RegistryCallLog::FailOpen(const std::string& subKey, HKEY root)
{
    failingOpens_.push_back({root, subKey});
}

bool RegistryCallLog::Listed(const std::vector<FailingKey>& keys, HKEY root, LPCSTR subKey)
{
    for (const FailingKey& key : keys) {
        if ((key.root == nullptr || key.root == root) && subKey != nullptr &&
            lstrcmpiA(subKey, key.subKey.c_str()) == 0)
            return true;
    }
    return false;
}

std::vector<RegistryCall> RegistryCallLog::Sets() const
{
    std::vector<RegistryCall> sets;
    for (const RegistryCall& call : calls_) {
        if (call.kind == RegistryCall::kSet)
            sets.push_back(call);
    }
    return sets;
}

RegistryCall RegistryCallLog::KeyCall(RegistryCall::Kind kind, HKEY root, LPCSTR subKey,
                                      DWORD options, REGSAM access, LONG status,
                                      const HKEY* result)
{
    RegistryCall call;
    call.kind = kind;
    call.root = root;
    call.subKey = subKey != nullptr ? subKey : "";
    call.options = options;
    call.access = access;
    call.status = status;
    call.key = status == ERROR_SUCCESS ? *result : nullptr;
    return call;
}

LONG RegistryCallLog::Create(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                             DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                             PHKEY result, LPDWORD disposition)
{
    LONG status = ERROR_ACCESS_DENIED;
    if (!Listed(failing_, root, subKey))
        status = create_.Original()(root, subKey, reserved, keyClass, options, access, security,
                                    result, disposition);
    RegistryCall call = KeyCall(RegistryCall::kCreate, root, subKey, options, access, status,
                                result);
    call.keyClass = keyClass != nullptr ? keyClass : "<null>";
    calls_.push_back(call);
    return status;
}

LONG RegistryCallLog::Open(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    LONG status = ERROR_ACCESS_DENIED;
    if (!Listed(failingOpens_, root, subKey))
        status = open_.Original()(root, subKey, options, access, result);
    calls_.push_back(KeyCall(RegistryCall::kOpen, root, subKey, options, access, status, result));
    return status;
}

LONG RegistryCallLog::Set(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                          DWORD size)
{
    RegistryCall call;
    call.kind = RegistryCall::kSet;
    call.key = key;
    call.name = name != nullptr ? name : "";
    call.type = type;
    if (data != nullptr)
        call.bytes.assign(reinterpret_cast<const char*>(data), size);
    calls_.push_back(call);
    return set_.Original()(key, name, reserved, type, data, size);
}

LONG RegistryCallLog::Close(HKEY key)
{
    RegistryCall call;
    call.kind = RegistryCall::kClose;
    call.key = key;
    calls_.push_back(call);
    return close_.Original()(key);
}
