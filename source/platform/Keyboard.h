#pragma once

#include <optional>

namespace platform
{
/** Whether a Shift key is down at this moment, as the system has it; nothing when the system
    cannot say (no display). Asked over a connection of its own, so the window's event queue
    is never read behind the framework's back.
*/
std::optional<bool> isShiftKeyDown();
} // namespace platform
