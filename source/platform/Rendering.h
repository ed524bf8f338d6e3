#pragma once

namespace platform
{
/** Whether the window should draw with the framework's software renderer rather than its
    default. True on Windows when the program runs under Wine, whose Direct2D draws a black
    window on software OpenGL; false on real Windows and on Linux (which has only the software one).
*/
bool prefersSoftwareRendering();
} // namespace platform
