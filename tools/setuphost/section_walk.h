// .walk "iniFile" "section" "moduleDirectory" ["typical"|"compact"]: walks one
// class section of a setup INI file the way a setup script does for a typical
// setup (the default) or a compact one. From index
// 1 on, IncludeSet is asked about the entry (with an IncludeSetRecord laid
// out as the script lays it out); while it exists, SetVapiDLL registers it
// (the setup type, shell mode 2, the module directory given). One line is
// printed per entry: index, extension, selected or not, and the results.
// Where IncludeSet answers -1 the walk ends and says why: the setup INI file
// is missing, it has no such section, the section has no such entry, or
// install.dll refused the entry that is there (one of more than 511
// characters, or with fewer than ten fields, in a section it parses).
#pragma once

#include <windows.h>

#include "script.h"

void RunSectionWalk(HMODULE install, const ScriptStatement& statement);
