#include "Keyboard.h"

#include <X11/Xlib.h>

#include <memory>

namespace platform
{
namespace
{
struct CloseDisplay
{
    void operator() (Display* display) const { XCloseDisplay (display); }
};

// A second connection: a round trip on the framework's own would pull its pending events into
// Xlib's queue where its poll() never sees them, and a close request could wait there for ever.
Display* ownDisplay()
{
    static const std::unique_ptr<Display, CloseDisplay> display { XOpenDisplay (nullptr) };
    return display.get();
}
} // namespace

std::optional<bool> isShiftKeyDown()
{
    auto* display = ownDisplay();

    if (display == nullptr)
        return std::nullopt;

    Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask = 0;

    if (! XQueryPointer (display, DefaultRootWindow (display), &root, &child, &rootX, &rootY, &x, &y, &mask))
        return std::nullopt;

    return (mask & ShiftMask) != 0;
}
} // namespace platform
