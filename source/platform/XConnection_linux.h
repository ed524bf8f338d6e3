#pragma once

// The program's own X connection, beside the framework's, shared by the services that need
// one. A round trip on the framework's connection would pull its pending events into Xlib's
// queue, where its poll() never sees them.
#include <X11/Xlib.h>

#include <functional>

namespace platform::x11
{
/** Opened on first use; nullptr without a display. */
Display* ownDisplay();

/** Who reads the events that arrive on the connection (one reader at a time). */
void setEventReader (std::function<void (Display*)> reader);

/** After a round trip: events it queued are read now, since their arrival has already been
    taken off the socket and no callback would fire for them.
*/
void readQueuedEvents();
} // namespace platform::x11
