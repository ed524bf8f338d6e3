// Test entry point, Windows edition: the framework's GUI support, which drawables,
// look-and-feels and components need. Windows needs no display set up first.
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI gui;
        result = RUN_ALL_TESTS();
    }
    return result;
}
