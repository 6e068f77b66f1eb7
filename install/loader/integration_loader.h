// Runs one operation of an integration module: the module is loaded from the
// installation directory, else from the support directory, its operation is
// fetched by ordinal, called, and the module is freed before the export
// returns.
#pragma once

// Loads moduleFile and calls its operation at ordinal (one of the module
// contract's), with no arguments when passArguments is 0, else with the two
// contract arguments. Returns the
// operation's result, 1 when a module is still loaded (nothing is called), or
// 0 when the module or its operation could not be had. Does not free the
// module.
int CallIntegrationModule(const char* moduleFile, unsigned ordinal, int passArguments,
                          const char* installationDirectory, const char* supportDirectory);

// Frees the integration module if one is loaded.
void FreeIntegrationModule();
