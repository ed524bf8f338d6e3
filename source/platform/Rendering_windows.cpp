#include "Rendering.h"

#include <windows.h>

namespace platform
{
bool prefersSoftwareRendering()
{
    // Wine's ntdll exports wine_get_version; Windows' never has.
    const auto ntdll = GetModuleHandleW (L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress (ntdll, "wine_get_version") != nullptr;
}
} // namespace platform
