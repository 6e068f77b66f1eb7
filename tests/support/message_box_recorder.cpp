#include "message_box_recorder.h"

#include <gtest/gtest.h>

namespace {
MessageBoxRecorder* g_active;
}

MessageBoxRecorder::MessageBoxRecorder(HMODULE module, std::vector<int> answers,
                                       int fallbackAnswer)
    : answers_(std::move(answers)),
      fallbackAnswer_(fallbackAnswer),
      patch_(module, "USER32.dll", "MessageBoxA", reinterpret_cast<void*>(&Replacement))
{
    EXPECT_EQ(g_active, nullptr) << "one recorder at a time";
    g_active = this;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    g_active = nullptr;
}

int WINAPI MessageBoxRecorder::Replacement(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    MessageBoxRecorder& self = *g_active;
    self.shown_.push_back({owner, text != nullptr ? text : "<null>",
                           caption != nullptr ? caption : "<null>", flags});
    size_t index = self.shown_.size() - 1;
    return index < self.answers_.size() ? self.answers_[index] : self.fallbackAnswer_;
}
