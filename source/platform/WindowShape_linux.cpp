// X11: JUCE publishes only minimum and maximum sizes in WM_NORMAL_HINTS, and rewrites the whole
// property on every bounds change, so a window manager's frame resize need not stay square.
// Watched over a connection of our own, the property gets the aspect back each time it loses it.
#include "WindowShape.h"

#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace platform
{
namespace
{
struct CloseDisplay
{
    void operator() (Display* display) const { XCloseDisplay (display); }
};

struct Watch
{
    std::unique_ptr<Display, CloseDisplay> display;
    Window window = 0;
};

Watch& watch()
{
    static Watch w;
    return w;
}

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

void readEvents (int)
{
    auto& w = watch();

    if (w.display == nullptr)
        return;

    const auto normalHints = XInternAtom (w.display.get(), "WM_NORMAL_HINTS", False);
    bool changed = false;

    while (XPending (w.display.get()) > 0)
    {
        XEvent event;
        XNextEvent (w.display.get(), &event);

        if (event.type == PropertyNotify && event.xproperty.window == w.window && event.xproperty.atom == normalHints)
            changed = true;
    }

    if (changed)
        applyAspect (w.display.get(), w.window);
}
} // namespace

void keepWindowSquare (void* nativeWindow)
{
    auto& w = watch();
    const auto window = (Window) (juce::pointer_sized_uint) nativeWindow;

    if (window == 0 || w.window == window)
        return;

    stopKeepingWindowSquare (reinterpret_cast<void*> ((juce::pointer_sized_uint) w.window));

    w.display.reset (XOpenDisplay (nullptr));

    if (w.display == nullptr)
        return;

    w.window = window;
    XSelectInput (w.display.get(), window, PropertyChangeMask);
    applyAspect (w.display.get(), window);
    juce::LinuxEventLoop::registerFdCallback (ConnectionNumber (w.display.get()), readEvents);
}

void stopKeepingWindowSquare (void* nativeWindow)
{
    auto& w = watch();

    if (w.display == nullptr || w.window != (Window) (juce::pointer_sized_uint) nativeWindow)
        return;

    juce::LinuxEventLoop::unregisterFdCallback (ConnectionNumber (w.display.get()));
    w.display.reset();
    w.window = 0;
}
} // namespace platform
