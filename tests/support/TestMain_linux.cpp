// Test entry point: gives the process an X display (a private Xvfb when none is set) and the
// framework's GUI support, since drawables, look-and-feels and components need both.
#include "TestSupport.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
pid_t xvfbPid = 0;

void stopXvfb()
{
    if (xvfbPid > 0)
    {
        kill (xvfbPid, SIGTERM);
        waitpid (xvfbPid, nullptr, 0);
    }
}

bool startXvfb()
{
    int fds[2];
    if (pipe (fds) != 0)
        return false;

    xvfbPid = fork();
    if (xvfbPid == 0)
    {
        close (fds[0]);
        const auto fd = std::to_string (fds[1]);
        execlp ("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                static_cast<char*> (nullptr));
        _exit (127);
    }

    close (fds[1]);
    std::string number;
    char c = 0;
    while (read (fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close (fds[0]);

    if (number.empty())
        return false;

    setenv ("DISPLAY", (":" + number).c_str(), 1);
    std::atexit (stopXvfb);
    return true;
}

// Without a window manager these atoms do not exist, and the framework only looks them up:
// it then sends requests with atom 0, which the X server answers with a fatal error.
bool internWindowManagerAtoms()
{
    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return false;

    for (const auto& name : testing_support::windowManagerAtoms())
        XInternAtom (display, name.toRawUTF8(), False);

    XSync (display, False);
    // Left open: atoms live while some client holds the display, and this one lasts as long as the tests.
    return true;
}

bool isListingOnly (int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string (argv[i]) == "--gtest_list_tests")
            return true;
    return false;
}
} // namespace

int main (int argc, char** argv)
{
    testing_support::failTestsOnJuceChecks();
    const bool listingOnly = isListingOnly (argc, argv);
    testing::InitGoogleTest (&argc, argv);

    if (listingOnly)
        return RUN_ALL_TESTS();

    if (std::getenv ("DISPLAY") == nullptr && ! startXvfb())
    {
        std::fprintf (stderr, "tests: no DISPLAY and Xvfb could not be started\n");
        return 1;
    }

    if (! internWindowManagerAtoms())
    {
        std::fprintf (stderr, "tests: cannot open the X display\n");
        return 1;
    }

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI gui;
        result = RUN_ALL_TESTS();
    }
    return result;
}
