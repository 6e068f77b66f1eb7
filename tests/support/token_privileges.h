// The privileges of the test process's token: which are enabled, enabling
// some for a test, and a guard that puts the enabled set back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Names of the privileges the process token has enabled.
std::vector<std::string> EnabledPrivileges();

// Enables the named privileges; false when one could not be enabled.
bool EnablePrivileges(const std::vector<std::string>& names);

// Name of a privilege by its local id ("" when unknown).
std::string PrivilegeName(const LUID& privilege);

// Remembers which privileges are enabled and sets exactly those back.
class PrivilegeStateGuard {
public:
    PrivilegeStateGuard();
    ~PrivilegeStateGuard();
    PrivilegeStateGuard(const PrivilegeStateGuard&) = delete;
    PrivilegeStateGuard& operator=(const PrivilegeStateGuard&) = delete;

private:
    std::vector<LUID_AND_ATTRIBUTES> saved_;
};
