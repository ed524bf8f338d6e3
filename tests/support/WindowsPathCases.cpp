#include "WindowsPathCases.h"

#include <gtest/gtest.h>

namespace testing_support
{
void expectWindowsPathsMap (const ScopedPrefix& prefix, const std::vector<WindowsPathCase>& cases)
{
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.windowsPath);
        const auto file = platform::fileFromWindowsPath (c.windowsPath);

        if (c.expectedBelowPrefix == nullptr)
            EXPECT_EQ (file, juce::File()) << file.getFullPathName();
        else
            EXPECT_EQ (file.getFullPathName(), prefix.root().getChildFile (c.expectedBelowPrefix).getFullPathName());
    }
}
} // namespace testing_support
