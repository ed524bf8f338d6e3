#pragma once

#include "TestSupport.h"

#include <vector>

namespace testing_support
{
/** A Windows path, and where it must land below a ScopedPrefix's root ("drive_c/..."; nullptr: no file at all). */
struct WindowsPathCase
{
    const char* windowsPath;
    const char* expectedBelowPrefix;
};

/** Checks each case through platform::fileFromWindowsPath, as a test failure per wrong one. */
void expectWindowsPathsMap (const ScopedPrefix& prefix, const std::vector<WindowsPathCase>& cases);
} // namespace testing_support
