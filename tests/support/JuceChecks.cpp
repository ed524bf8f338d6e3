// JUCE's assertions and leak reports as test failures.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace testing_support
{
namespace
{
class FailingLogger : public juce::Logger
{
public:
    void logMessage (const juce::String& message) override
    {
        if (! message.startsWith ("JUCE Assertion failure"))
        {
            std::fprintf (stderr, "%s\n", message.toRawUTF8());
            return;
        }

        if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
        {
            ADD_FAILURE() << message;
            return;
        }

        // After the tests: the leak detector reports while statics are destroyed.
        std::fprintf (stderr, "%s (outside any test)\n", message.toRawUTF8());
        std::fflush (stderr);
        std::_Exit (3);
    }
};
} // namespace

void failTestsOnJuceChecks()
{
    // Never destroyed: the leak detector reports while statics are being destroyed.
    static FailingLogger* const logger = std::make_unique<FailingLogger>().release();
    juce::Logger::setCurrentLogger (logger);
}
} // namespace testing_support
