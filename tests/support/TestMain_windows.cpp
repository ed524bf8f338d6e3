// Test entry point, Windows edition: the framework's GUI support, which drawables,
// look-and-feels and components need. Listing the tests (at build time) needs none of it.
#include "TestSupport.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <string>

int main (int argc, char** argv)
{
    testing_support::failTestsOnJuceChecks();
    bool listingOnly = false;
    for (int i = 1; i < argc; ++i)
        listingOnly = listingOnly || std::string (argv[i]) == "--gtest_list_tests";

    testing::InitGoogleTest (&argc, argv);

    if (listingOnly)
        return RUN_ALL_TESTS();

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI gui;
        result = RUN_ALL_TESTS();
    }
    return result;
}
