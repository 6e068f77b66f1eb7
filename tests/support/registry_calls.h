// Watching and breaking the registry calls of a loaded module for the length
// of a test: a log of the values it sets, in order, and key creation or
// opening that fails for chosen sub-key paths. One of each may be active at a
// time.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "import_patch.h"

struct SetValueCall {
    std::string name;
    DWORD type;
    std::string bytes;  // the data exactly as handed over, byte count included
};

// Records every RegSetValueExA of module (the value is still set).
class SetValueRecorder {
public:
    explicit SetValueRecorder(HMODULE module);
    ~SetValueRecorder();
    SetValueRecorder(const SetValueRecorder&) = delete;
    SetValueRecorder& operator=(const SetValueRecorder&) = delete;

    const std::vector<SetValueCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

private:
    static LONG WINAPI Record(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
    std::vector<SetValueCall> calls_;
    std::unique_ptr<ImportPatch> patch_;
};

// Makes RegCreateKeyExA of module fail with ERROR_ACCESS_DENIED for the
// given sub-key paths (compared without regard to case, whatever the root),
// and pass every other call through.
class KeyCreationFailure {
public:
    KeyCreationFailure(HMODULE module, std::vector<std::string> failingSubKeys);
    ~KeyCreationFailure();
    KeyCreationFailure(const KeyCreationFailure&) = delete;
    KeyCreationFailure& operator=(const KeyCreationFailure&) = delete;

private:
    static LONG WINAPI Create(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                              PHKEY, LPDWORD);
    std::vector<std::string> failing_;
    std::unique_ptr<ImportPatch> patch_;
};

// Makes RegOpenKeyExA of module fail with ERROR_ACCESS_DENIED for the given
// sub-key paths (compared without regard to case, whatever the root), and
// pass every other call through.
class KeyOpeningFailure {
public:
    KeyOpeningFailure(HMODULE module, std::vector<std::string> failingSubKeys);
    ~KeyOpeningFailure();
    KeyOpeningFailure(const KeyOpeningFailure&) = delete;
    KeyOpeningFailure& operator=(const KeyOpeningFailure&) = delete;

private:
    static LONG WINAPI Open(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
    std::vector<std::string> failing_;
    std::unique_ptr<ImportPatch> patch_;
};
