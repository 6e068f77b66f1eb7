// The "CustomAttachmentHandler" value of a Microsoft Mail key, the current
// user's or one inside a mounted user hive: the viewer's handler is set over
// another product's only after that one was kept beside it, and deinstall
// gives the kept one back.
#pragma once

#include <windows.h>

// Keeps the handler found in key, type and bytes as stored, unless it is the
// viewer's own; false when it could not be kept whole (nothing is written
// then).
bool KeepOtherHandler(HKEY key);

// Sets the viewer's handler; RegSetValueExA's status.
LONG SetViewersHandler(HKEY key, const char* handlerValue);

// Takes the viewer's handler out of key: the kept handler goes back in its
// place, else the value is deleted; a handler that is not the viewer's
// stays, and the kept copy is dropped either way. True when something was
// changed and every change succeeded; false when there was nothing to do or
// a change failed.
bool GiveHandlerBack(HKEY key);
