// The host's own statements, which call no export:
//   .echo "text"                       prints the text
//   .reg "HKEY_LOCAL_MACHINE\..."      prints the key tree as REGEDIT4 text
//   .ini "file" "section" ["key"]      prints an INI section or entry
//   .shared "path"                     one more shared-file reference, as the
//                                      setup program counts each shared file
//                                      it copies
// (.walk is section_walk.h.)
#pragma once

#include "script.h"

void RunDirective(const ScriptStatement& statement);
