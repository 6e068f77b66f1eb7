// Per-view-class settings of the viewer's windows and the context-menu shell
// extension, registered for every "VIEWENGINEINFO" entry alike.
#pragma once

#include <windows.h>

// The section name and the entry text are not looked at. shellMode 2 or 3
// also registers the extension's server and its context-menu handler.
// Returns 1 when every key was created or opened, 0 when one was not (the
// keys before it stay written) or when the server path does not fit 255
// characters (nothing of the server is written then).
int RegisterShellExtension(const char* section, const char* entryText, int shellMode,
                           const char* moduleDirectory);

// Sets valueName of the open key to "sxoption.dll <number>".
void WriteOptionTab(HKEY key, const char* valueName, const char* number);
