// The few memory routines the compiler may call on its own (large
// initialisations and structure copies) in DLLs built without a C runtime.
// Built with loop-pattern recognition off, so these loops are not turned back
// into calls to themselves.
#include <stddef.h>

extern "C" {

void* memset(void* destination, int value, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    while (count-- > 0)
        *d++ = static_cast<unsigned char>(value);
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    while (count-- > 0)
        *d++ = *s++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    if (d < s) {
        while (count-- > 0)
            *d++ = *s++;
    } else {
        while (count-- > 0)
            d[count] = s[count];
    }
    return destination;
}

int memcmp(const void* a, const void* b, size_t count)
{
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; count > 0; --count, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

}  // extern "C"
