// X11: JUCE publishes only minimum and maximum sizes in WM_NORMAL_HINTS, and rewrites the whole
// property on every bounds change, so a window manager's frame resize need not stay square.
// Watched over the program's own connection, the property gets the aspect back each time it loses it.
#include "WindowShape.h"

#include "XConnection_linux.h"

#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>


namespace platform
{
namespace
{
Window watchedWindow = 0;

void applyAspect (Display* display, Window window)
{
    auto* hints = XAllocSizeHints();

    if (hints == nullptr)
        return;

    long supplied = 0;

    if (XGetWMNormalHints (display, window, hints, &supplied) == 0)
        hints->flags = 0;

    const bool square = (hints->flags & PAspect) != 0
                        && hints->min_aspect.x == 1 && hints->min_aspect.y == 1
                        && hints->max_aspect.x == 1 && hints->max_aspect.y == 1;

    if (! square)
    {
        hints->flags |= PAspect;
        hints->min_aspect.x = hints->min_aspect.y = 1;
        hints->max_aspect.x = hints->max_aspect.y = 1;
        XSetWMNormalHints (display, window, hints);
        XFlush (display);
    }

    XFree (hints);
}

void readEvents (Display* display)
{
    const auto normalHints = XInternAtom (display, "WM_NORMAL_HINTS", False);
    bool changed = false;

    while (XPending (display) > 0)
    {
        XEvent event;
        XNextEvent (display, &event);

        if (event.type == PropertyNotify && event.xproperty.window == watchedWindow && event.xproperty.atom == normalHints)
            changed = true;
    }

    if (changed && watchedWindow != 0)
        applyAspect (display, watchedWindow);
}
} // namespace

void keepWindowSquare (void* nativeWindow)
{
    const auto window = (Window) (juce::pointer_sized_uint) nativeWindow;
    auto* display = x11::ownDisplay();

    if (window == 0 || window == watchedWindow || display == nullptr)
        return;

    // A window watched before may be gone already: asking anything of it would be an X error,
    // which ends the program. Its events are simply ignored from now on.
    watchedWindow = window;
    XSelectInput (display, window, PropertyChangeMask);
    applyAspect (display, window);
    x11::setEventReader (readEvents);
}

void stopKeepingWindowSquare (void* nativeWindow)
{
    auto* display = x11::ownDisplay();

    if (display == nullptr || watchedWindow == 0 || watchedWindow != (Window) (juce::pointer_sized_uint) nativeWindow)
        return;

    // Not deselected: the window may be destroyed by now, and an X error ends the program.
    x11::setEventReader (nullptr);
    watchedWindow = 0;
}
} // namespace platform
