// Registration of one component entry by its class section.
#pragma once

enum class ClassEntryResult { Registered, Failed, NotHandled };

// Calls the writer of the section (exact name, letter case included) with
// the entry text, which the converter writers may rewrite in place.
// "VIEWENGINEINFO" is handled only when withShell is set.
ClassEntryResult RegisterClassEntry(const char* section, char* entryText, bool withShell,
                                    int shellMode, const char* moduleDirectory);
