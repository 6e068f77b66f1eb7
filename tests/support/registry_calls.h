// The registry calls of a loaded module for the length of a test: every
// RegCreateKeyExA, RegOpenKeyExA, RegSetValueExA and RegCloseKey it makes, in
// order, passed on to the registry; and key creation or opening made to fail
// for chosen sub-keys.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/import_hook.h"

struct RegistryCall {
    enum Kind { kCreate, kOpen, kSet, kClose } kind = kCreate;
    HKEY root = nullptr;       // create, open
    std::string subKey;        // create, open
    std::string keyClass;      // create; "<null>" for a null class
    DWORD options = 0;         // create, open
    REGSAM access = 0;         // create, open
    LONG status = 0;           // create, open: what the module was answered
    HKEY key = nullptr;        // the key created or opened (null when it failed), set or closed
    std::string name;          // set
    DWORD type = 0;            // set
    std::string bytes;         // set: the data exactly as handed over, byte count included
};

class RegistryCallLog {
public:
    explicit RegistryCallLog(HMODULE module);
    RegistryCallLog(const RegistryCallLog&) = delete;
    RegistryCallLog& operator=(const RegistryCallLog&) = delete;

    // RegCreateKeyExA answers ERROR_ACCESS_DENIED for subKey (compared without
    // regard to case) below root, or below any root when root is null.
    void FailKey(const std::string& subKey, HKEY root = nullptr);
    void FailNoKey() { failing_.clear(); }
    // RegOpenKeyExA answers ERROR_ACCESS_DENIED for subKey, chosen as for FailKey.
    void FailOpen(const std::string& subKey, HKEY root = nullptr);
    void FailNoOpen() { failingOpens_.clear(); }

    const std::vector<RegistryCall>& Calls() const { return calls_; }
    // The RegSetValueExA calls alone, in order.
    std::vector<RegistryCall> Sets() const;
    void Clear() { calls_.clear(); }

private:
    struct FailingKey {
        HKEY root;
        std::string subKey;
    };

    // subKey below root is one of keys.
    static bool Listed(const std::vector<FailingKey>& keys, HKEY root, LPCSTR subKey);
    // A creation or opening as answered, the key given back when it succeeded.
    static RegistryCall KeyCall(RegistryCall::Kind kind, HKEY root, LPCSTR subKey, DWORD options,
                                REGSAM access, LONG status, const HKEY* result);
    LONG Create(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
    LONG Open(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
    LONG Set(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
    LONG Close(HKEY key);

    std::vector<RegistryCall> calls_;
    std::vector<FailingKey> failing_;
    std::vector<FailingKey> failingOpens_;
    ImportHook<decltype(RegCreateKeyExA)> create_;
    ImportHook<decltype(RegOpenKeyExA)> open_;
    ImportHook<decltype(RegSetValueExA)> set_;
    ImportHook<decltype(RegCloseKey)> close_;
};
