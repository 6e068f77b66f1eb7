// The number of elements of an array, known where the array is defined.
#pragma once

#include <stddef.h>

template <typename Element, size_t Count>
constexpr size_t CountOf(const Element (&)[Count])
{
    return Count;
}
