// install.dll's exports as the host knows them: name, ordinal and number of
// 32-bit arguments, all taken from install/install_exports.h, so a host that
// disagrees with the DLL's declarations does not compile.
#pragma once

#include <stddef.h>

#include <string>

struct ExportRow {
    const char* name;
    unsigned ordinal;
    unsigned argumentCount;
};

extern const ExportRow kInstallExports[];
extern const size_t kInstallExportCount;

// The export row for name (exact letter case), or null.
const ExportRow* FindExport(const std::string& name);
