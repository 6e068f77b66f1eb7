#include "support/sentinel_buffer.h"

SentinelBuffer::SentinelBuffer(size_t size, size_t guard)
    : size_(size), bytes_(size + guard, kSentinel)
{
}

void SentinelBuffer::Fill()
{
    bytes_.assign(bytes_.size(), kSentinel);
}

::testing::AssertionResult SentinelBuffer::UntouchedFrom(size_t offset) const
{
    for (size_t i = offset; i < bytes_.size(); ++i) {
        if (bytes_[i] != kSentinel)
            return ::testing::AssertionFailure() << "byte " << i << " was written (0x" << std::hex
                                                 << (bytes_[i] & 0xff) << ")";
    }
    return ::testing::AssertionSuccess();
}
