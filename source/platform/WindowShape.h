#pragma once

namespace platform
{
/** Asks the window manager to keep the top-level window square (an aspect ratio of 1:1 in its
    size hints), and keeps asking whenever the framework rewrites those hints. Does nothing
    where the framework squares resizes itself. Pass the peer's native handle.
*/
void keepWindowSquare (void* nativeWindow);

/** Ends that for the window, before it goes. */
void stopKeepingWindowSquare (void* nativeWindow);
} // namespace platform
