#include "Rendering.h"

namespace platform
{
bool prefersSoftwareRendering()
{
    return false;
}
} // namespace platform
