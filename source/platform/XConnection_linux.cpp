#include "XConnection_linux.h"

#include <juce_events/juce_events.h>

#include <memory>

namespace platform::x11
{
namespace
{
struct CloseDisplay
{
    void operator() (Display* display) const { XCloseDisplay (display); }
};

struct Connection
{
    std::unique_ptr<Display, CloseDisplay> display { XOpenDisplay (nullptr) };
    std::function<void (Display*)> reader;
};

Connection& connection()
{
    static Connection c;
    return c;
}

void onReadable (int)
{
    readQueuedEvents();
}
} // namespace

Display* ownDisplay()
{
    return connection().display.get();
}

void setEventReader (std::function<void (Display*)> reader)
{
    auto& c = connection();

    if (c.display == nullptr)
        return;

    const auto fd = ConnectionNumber (c.display.get());

    if (reader != nullptr && c.reader == nullptr)
        juce::LinuxEventLoop::registerFdCallback (fd, onReadable);
    else if (reader == nullptr && c.reader != nullptr)
        juce::LinuxEventLoop::unregisterFdCallback (fd);

    c.reader = std::move (reader);
}

void readQueuedEvents()
{
    auto& c = connection();

    if (c.display == nullptr)
        return;

    if (c.reader != nullptr)
    {
        c.reader (c.display.get());
        return;
    }

    // Nobody wants them: they must not pile up.
    while (XPending (c.display.get()) > 0)
    {
        XEvent event;
        XNextEvent (c.display.get(), &event);
    }
}
} // namespace platform::x11
