#include "WindowShape.h"

namespace platform
{
// On Windows the framework squares frame resizes itself, from the constrainer (WM_SIZING).
void keepWindowSquare (void*) {}
void stopKeepingWindowSquare (void*) {}
} // namespace platform
