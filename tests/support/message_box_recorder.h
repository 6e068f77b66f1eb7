// Stands in for MessageBoxA as a module imports it: records every box the
// module shows (owner, text, caption, flags) and answers from a script
// without showing anything.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/import_hook.h"

struct ShownMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};

class MessageBoxRecorder {
public:
    // answers are given to the boxes in turn; once they run out every box
    // is answered with fallbackAnswer.
    MessageBoxRecorder(HMODULE module, std::vector<int> answers = {},
                       int fallbackAnswer = IDOK);
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<ShownMessageBox>& Shown() const { return shown_; }

private:
    int Answer(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);

    std::vector<int> answers_;
    int fallbackAnswer_;
    std::vector<ShownMessageBox> shown_;
    ImportHook<decltype(MessageBoxA)> hook_;
};
