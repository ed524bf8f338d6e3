#include "Keyboard.h"

#include "XConnection_linux.h"

namespace platform
{
std::optional<bool> isShiftKeyDown()
{
    auto* display = x11::ownDisplay();

    if (display == nullptr)
        return std::nullopt;

    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask = 0;
    const auto answered = XQueryPointer (display, DefaultRootWindow (display), &root, &child, &rootX, &rootY, &x, &y, &mask);
    x11::readQueuedEvents();

    if (! answered)
        return std::nullopt;

    return (mask & ShiftMask) != 0;
}
} // namespace platform
