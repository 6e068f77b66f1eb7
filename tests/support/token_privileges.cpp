#include "support/token_privileges.h"

namespace {

HANDLE OpenOwnToken()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return nullptr;
    return token;
}

std::vector<LUID_AND_ATTRIBUTES> AllPrivileges()
{
    std::vector<LUID_AND_ATTRIBUTES> privileges;
    HANDLE token = OpenOwnToken();
    if (token == nullptr)
        return privileges;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size + sizeof(TOKEN_PRIVILEGES));
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(),
                            static_cast<DWORD>(buffer.size()), &size)) {
        auto* list = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
        privileges.assign(list->Privileges, list->Privileges + list->PrivilegeCount);
    }
    CloseHandle(token);
    return privileges;
}

bool SetPrivilege(HANDLE token, const LUID& privilege, DWORD attributes)
{
    TOKEN_PRIVILEGES change;
    change.PrivilegeCount = 1;
    change.Privileges[0].Luid = privilege;
    change.Privileges[0].Attributes = attributes;
    return AdjustTokenPrivileges(token, FALSE, &change, sizeof change, nullptr, nullptr) &&
           GetLastError() == ERROR_SUCCESS;
}

}  // namespace

std::string PrivilegeName(const LUID& privilege)
{
    char name[128];
    DWORD length = sizeof name;
    LUID copy = privilege;
    if (!LookupPrivilegeNameA(nullptr, &copy, name, &length))
        return std::string();
    return std::string(name, length);
}

std::vector<std::string> EnabledPrivileges()
{
    std::vector<std::string> names;
    for (const auto& privilege : AllPrivileges()) {
        if (privilege.Attributes & SE_PRIVILEGE_ENABLED)
            names.push_back(PrivilegeName(privilege.Luid));
    }
    return names;
}

bool EnablePrivileges(const std::vector<std::string>& names)
{
    HANDLE token = OpenOwnToken();
    if (token == nullptr)
        return false;
    bool enabled = true;
    for (const auto& name : names) {
        LUID privilege;
        enabled = enabled && LookupPrivilegeValueA(nullptr, name.c_str(), &privilege) &&
                  SetPrivilege(token, privilege, SE_PRIVILEGE_ENABLED);
    }
    CloseHandle(token);
    return enabled;
}

PrivilegeStateGuard::PrivilegeStateGuard() : saved_(AllPrivileges()) {}

PrivilegeStateGuard::~PrivilegeStateGuard()
{
    HANDLE token = OpenOwnToken();
    if (token == nullptr)
        return;
    for (const auto& privilege : saved_)
        SetPrivilege(token, privilege.Luid, privilege.Attributes & SE_PRIVILEGE_ENABLED);
    CloseHandle(token);
}
