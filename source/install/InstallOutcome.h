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
        oldCopyLocked,
        leftBehind,     // the run did its work; what could not be deleted waits in staging
        other
    };

    Failure failure = Failure::none;

    /** For fileInUse: the programs the system says hold the bundle's files, when it can say. */
    juce::StringArray heldBy;

    /** For leftBehind: the staging folder holding what could not be deleted, and whether the
        run was an uninstall.
    */
    juce::File leftIn;
    bool wasUninstall = false;

    bool succeeded() const noexcept { return failure == Failure::none; }

    /** Whether the bundle's place holds what the run was to leave there: the new copy, or
        after an uninstall nothing. Only leftovers elsewhere may remain.
    */
    bool didItsWork() const noexcept { return failure == Failure::none || failure == Failure::leftBehind; }

    /** A short reason a user can act on, empty on success. */
    juce::String describe() const;

    static InstallOutcome done()               { return {}; }
    static InstallOutcome failed (Failure f)   { InstallOutcome o; o.failure = f; return o; }

    static InstallOutcome leftBehindIn (const juce::File& staging, bool uninstall)
    {
        auto o = failed (Failure::leftBehind);
        o.leftIn = staging;
        o.wasUninstall = uninstall;
        return o;
    }
};
