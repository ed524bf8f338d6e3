#pragma once

#include <juce_core/juce_core.h>

/** What became of one format in an install or uninstall run. */
struct InstallOutcome
{
    enum class Failure
    {
        none,
        fileInUse,
        noPermission,
        diskFull,
        corruptedPayload,
        noInstallFolder,
        noSystemDrive,
        oldCopyNotRemovable,
        other
    };

    Failure failure = Failure::none;

    /** For fileInUse: the programs the system says hold the bundle's files, when it can say. */
    juce::StringArray heldBy;

    bool succeeded() const noexcept { return failure == Failure::none; }

    /** A short reason a user can act on, empty on success. */
    juce::String describe() const;

    static InstallOutcome done()               { return {}; }
    static InstallOutcome failed (Failure f)   { return { f, {} }; }
};
