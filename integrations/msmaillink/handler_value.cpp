#include "handler_value.h"

#include "common/registry_access.h"
#include "common/system_text.h"

namespace {

const char kHandlerValueName[] = "CustomAttachmentHandler";
const char kKeptHandlerName[] = "Sorbix Backup - CustomAttachmentHandler";
const char kViewersHandlerModule[] = "sxmscah.dll";

// A handler is a module path with its arguments; one longer than this is
// not kept, and so not replaced.
const DWORD kHandlerCapacity = 1024;

struct StoredValue {
    ReadOutcome outcome;
    DWORD type;
    DWORD size;
    char bytes[kHandlerCapacity + 1];  // room for a terminating zero of our own
};

void ReadStoredValue(HKEY key, const char* name, StoredValue& value)
{
    value.type = REG_NONE;
    value.size = kHandlerCapacity;
    value.outcome = QueryRegistryValue(key, name, &value.type, value.bytes, &value.size);
    if (value.outcome == ReadOutcome::Whole && value.size > kHandlerCapacity)
        value.outcome = ReadOutcome::NotWhole;
    value.bytes[value.outcome == ReadOutcome::Whole ? value.size : 0] = '\0';
}

// The viewer's handler names its module, in whatever letter case.
bool IsViewersHandler(const StoredValue& handler)
{
    if (handler.outcome != ReadOutcome::Whole)
        return false;
    char lowered[kHandlerCapacity + 1];
    CopyText(lowered, sizeof lowered, handler.bytes);
    LowerAscii(lowered);
    return FindSubtext(lowered, kViewersHandlerModule) != nullptr;
}

LONG Store(HKEY key, const char* name, const StoredValue& value)
{
    return SetRegistryValue(key, name, value.type, value.bytes, value.size);
}

}  // namespace

bool KeepOtherHandler(HKEY key)
{
    StoredValue handler;
    ReadStoredValue(key, kHandlerValueName, handler);
    if (handler.outcome == ReadOutcome::Missing || IsViewersHandler(handler))
        return true;
    if (handler.outcome != ReadOutcome::Whole)
        return false;
    return Store(key, kKeptHandlerName, handler) == ERROR_SUCCESS;
}

LONG SetViewersHandler(HKEY key, const char* handlerValue)
{
    return SetRegistryString(key, kHandlerValueName, handlerValue);
}

bool GiveHandlerBack(HKEY key)
{
    StoredValue handler;
    StoredValue kept;
    ReadStoredValue(key, kHandlerValueName, handler);
    ReadStoredValue(key, kKeptHandlerName, kept);
    if (kept.outcome == ReadOutcome::NotWhole)
        return false;  // not ours to read whole: both stay as they are

    bool changed = false;
    bool failed = false;
    if (IsViewersHandler(handler)) {
        LONG status = kept.outcome == ReadOutcome::Whole
                          ? Store(key, kHandlerValueName, kept)
                          : RegDeleteValueA(key, kHandlerValueName);
        changed = true;
        failed = status != ERROR_SUCCESS;
    }
    if (kept.outcome == ReadOutcome::Whole && !failed) {
        changed = true;
        failed = RegDeleteValueA(key, kKeptHandlerName) != ERROR_SUCCESS;
    }
    return changed && !failed;
}
