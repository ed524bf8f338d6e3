// What the framework's XML parser does with hostile settings files, and what the guard costs.
// Each parse runs in a child process, so a crash or a runaway allocation is measured, not suffered.
#include "settings/SettingsFileGuard.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
juce::String nested (int depth)
{
    std::string s;
    for (int i = 0; i < depth; ++i)
        s += "<a>";
    for (int i = 0; i < depth; ++i)
        s += "</a>";
    return s;
}

juce::String entities (int levels)
{
    juce::String dtd = "<!DOCTYPE r [<!ENTITY e0 \"lol\">";
    for (int i = 1; i <= levels; ++i)
    {
        dtd << "<!ENTITY e" << i << " \"";
        for (int k = 0; k < 10; ++k)
            dtd << "&e" << (i - 1) << ";";
        dtd << "\">";
    }
    return dtd + "]><r a=\"&e" + juce::String (levels) + ";\"/>";
}

// Printable noise; inAttribute keeps it inside one attribute value.
juce::String garbage (int bytes, bool inAttribute = false)
{
    juce::Random random (7);
    std::string text ((size_t) bytes, ' ');
    for (auto& c : text)
    {
        c = (char) (32 + random.nextInt (95));
        if (inAttribute && (c == '"' || c == '<' || c == '&'))
            c = '.';
    }
    return inAttribute ? "<r a=\"" + text + "\"/>" : text;
}

void measure (const char* name, const juce::String& text, int timeLimitSeconds = 20)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();

    if (child == 0)
    {
        alarm ((unsigned) timeLimitSeconds);
        rlimit memory { 4ull << 30, 4ull << 30 };
        setrlimit (RLIMIT_AS, &memory);
        auto xml = juce::parseXML (text);
        _exit (xml != nullptr ? 0 : 1);
    }

    int status = 0;
    rusage usage {};
    wait4 (child, &status, 0, &usage);
    const auto ms = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();

    juce::String outcome = WIFEXITED (status) ? (WEXITSTATUS (status) == 0 ? "parsed" : "rejected")
                                              : (WTERMSIG (status) == SIGALRM ? "killed after time limit"
                                                                               : "crashed with signal " + juce::String (WTERMSIG (status)));

    const auto guardStart = std::chrono::steady_clock::now();
    const auto problem = SettingsFileGuard::findProblem (text);
    const auto guardMs = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - guardStart).count();

    std::printf ("%s: input %d bytes, juce %s in %.1f ms, peak RSS %ld KiB; guard %s in %.2f ms\n", name,
                 (int) text.getNumBytesAsUTF8(), outcome.toRawUTF8(), ms, usage.ru_maxrss,
                 problem.isEmpty() && text.getNumBytesAsUTF8() <= (size_t) SettingsFileGuard::maxFileBytes
                     ? "passes" : ("refuses (" + (problem.isEmpty() ? juce::String ("too large") : problem) + ")").toRawUTF8(),
                 guardMs);
}
} // namespace

int main()
{
    std::setvbuf (stdout, nullptr, _IOLBF, 0);
    measure ("garbage_4MiB", garbage (4 << 20));
    measure ("garbage_in_element_4MiB", garbage (4 << 20, true));
    for (int depth : { 1000, 10000, 100000, 1000000 })
        measure (("nesting_" + juce::String (depth)).toRawUTF8(), nested (depth));
    for (int levels : { 3, 5, 6, 7, 8 })
        measure (("entities_10^" + juce::String (levels)).toRawUTF8(), entities (levels), 30);
    return 0;
}
