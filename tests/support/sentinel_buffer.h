// A buffer handed to the code under test, with sentinel bytes after the size
// the callee is told about: every byte starts as the one sentinel value, and
// one check tells whether any was written from a given offset on.
#pragma once

#include <stddef.h>

#include <string>

#include <gtest/gtest.h>

class SentinelBuffer {
public:
    static constexpr char kSentinel = '\x5A';

    // size: the bytes the callee may write; guard: the sentinel bytes after them.
    explicit SentinelBuffer(size_t size, size_t guard = 16);

    char* Data() { return &bytes_[0]; }
    const char* Data() const { return bytes_.data(); }
    size_t Size() const { return size_; }
    // Every byte, the guard's included.
    const std::string& Bytes() const { return bytes_; }

    // Every byte the sentinel again.
    void Fill();
    // Every byte from offset to the end of the guard still holds the sentinel.
    ::testing::AssertionResult UntouchedFrom(size_t offset) const;
    // Nothing was written past Size().
    ::testing::AssertionResult GuardIntact() const { return UntouchedFrom(size_); }

private:
    size_t size_;
    std::string bytes_;
};
