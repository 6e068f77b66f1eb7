#include "common/module_access.h"

#include "common/text.h"

HMODULE LoadModuleIn(const char* directory, size_t limit, const char* file)
{
    char path[256];
    if (limit > sizeof path || !JoinName(path, limit, directory, file))
        return nullptr;
    return LoadLibraryA(path);
}

HMODULE LoadModuleFromEither(const char* file, const char* firstDirectory, size_t firstLimit,
                             const char* secondDirectory, size_t secondLimit)
{
    HMODULE module = LoadModuleIn(firstDirectory, firstLimit, file);
    if (IsLoadedModule(module))
        return module;
    return LoadModuleIn(secondDirectory, secondLimit, file);
}
