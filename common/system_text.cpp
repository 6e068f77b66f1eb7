#include "common/system_text.h"

#include <windows.h>

bool IsSystemLeadByte(unsigned char candidate)
{
    return IsDBCSLeadByte(candidate) != FALSE;
}
