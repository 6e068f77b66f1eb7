#include "host_exports.h"

#include "install/install_exports.h"

namespace {

template <typename Result, typename... Arguments>
constexpr unsigned CountArguments(Result(WINAPI*)(Arguments...))
{
    return sizeof...(Arguments);
}

#define SORBIX_EXPORT_ROW(name, ordinal, proc) \
    {name, ordinal, CountArguments(static_cast<proc>(nullptr))}

}  // namespace

// In ordinal order, as --help lists them.
const ExportRow kInstallExports[] = {
    SORBIX_EXPORT_ROW("updateRegHard", kOrdinalUpdateRegHard, UpdateRegHardProc),
    SORBIX_EXPORT_ROW("SetVapiDLL", kOrdinalSetVapiDLL, SetVapiDLLProc),
    SORBIX_EXPORT_ROW("IncludeSet", kOrdinalIncludeSet, IncludeSetProc),
    SORBIX_EXPORT_ROW("IntegAval", kOrdinalIntegAval, IntegAvalProc),
    SORBIX_EXPORT_ROW("IntegInteg", kOrdinalIntegInteg, IntegIntegProc),
    SORBIX_EXPORT_ROW("installLoadStr", kOrdinalInstallLoadStr, InstallLoadStrProc),
    SORBIX_EXPORT_ROW("HaveKeyDLL", kOrdinalHaveKeyDLL, HaveKeyDLLProc),
    SORBIX_EXPORT_ROW("IntegRemove", kOrdinalIntegRemove, IntegRemoveProc),
    SORBIX_EXPORT_ROW("DeleteShareDLL", kOrdinalDeleteShareDLL, DeleteShareDLLProc),
    SORBIX_EXPORT_ROW("LoadLaunch", kOrdinalLoadLaunch, LoadLaunchProc),
    SORBIX_EXPORT_ROW("LoadPlug", kOrdinalLoadPlug, LoadPlugProc),
    SORBIX_EXPORT_ROW("UnLoadWindow", kOrdinalUnLoadWindow, UnLoadWindowProc),
    SORBIX_EXPORT_ROW("GetMajorVer", kOrdinalGetMajorVer, GetMajorVerProc),
    SORBIX_EXPORT_ROW("UpRegDeleteVal", kOrdinalUpRegDeleteVal, UpRegDeleteValProc),
    SORBIX_EXPORT_ROW("SetOEMVapi", kOrdinalSetOEMVapi, SetOEMVapiProc),
    SORBIX_EXPORT_ROW("SetOEMHard", kOrdinalSetOEMHard, SetOEMHardProc),
    SORBIX_EXPORT_ROW("HaveRegRights", kOrdinalHaveRegRights, HaveRegRightsProc),
};
const size_t kInstallExportCount = sizeof kInstallExports / sizeof kInstallExports[0];

const ExportRow* FindExport(const std::string& name)
{
    for (size_t i = 0; i < kInstallExportCount; ++i) {
        if (name == kInstallExports[i].name)
            return &kInstallExports[i];
    }
    return nullptr;
}
