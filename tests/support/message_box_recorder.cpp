#include "support/message_box_recorder.h"

MessageBoxRecorder::MessageBoxRecorder(HMODULE module, std::vector<int> answers,
                                       int fallbackAnswer)
    : answers_(std::move(answers)),
      fallbackAnswer_(fallbackAnswer),
      hook_(module, "USER32.dll", "MessageBoxA",
            [this](HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
                return Answer(owner, text, caption, flags);
            })
{
}

int MessageBoxRecorder::Answer(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    shown_.push_back({owner, text != nullptr ? text : "<null>",
                      caption != nullptr ? caption : "<null>", flags});
    size_t index = shown_.size() - 1;
    return index < answers_.size() ? answers_[index] : fallbackAnswer_;
}
