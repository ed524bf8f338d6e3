#include "Keyboard.h"

#include <windows.h>

namespace platform
{
std::optional<bool> isShiftKeyDown()
{
    return (GetAsyncKeyState (VK_SHIFT) & 0x8000) != 0;
}
} // namespace platform
