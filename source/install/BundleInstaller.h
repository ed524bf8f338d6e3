#pragma once

#include "InstallOutcome.h"
#include "PayloadArchive.h"
#include "platform/FileOps.h"
#include "platform/Process.h"
#include "platform/SystemFolders.h"

/** Puts a bundle from its archive into a format's folder, or takes it out, without ever
    leaving it half-written.

    An install extracts into a hidden staging folder beside the bundle and checks every entry
    first; only then does the new bundle take the old one's place, in one step where the file
    system allows. On any failure before that the old bundle stays as it was. What of the old
    copy cannot be deleted afterwards stays in the staging folder, never in the bundle's place:
    that only ever holds a whole copy. Staging left by a run that was killed is removed, or
    rolled back, at the next run.

    Inside the staging folder nothing bears the bundle's name: the copies are "new", "old" and
    "removed", so a host scanning the format folder never takes a leftover for the plug-in.
*/
class BundleInstaller
{
public:
    BundleInstaller (juce::File formatFolder, juce::String productName, juce::String bundleName,
                     platform::FileOps& ops = platform::systemFileOps());

    InstallOutcome install (const void* archiveData, size_t archiveSize);
    InstallOutcome uninstall();

    /** Removes this product's staging folders in the format folder whose run has ended, first
        putting back a bundle that a killed run left aside. A link of that name is removed as a
        link, never followed.
    */
    void cleanUpAbandonedStaging();

    juce::File getBundle() const { return formatFolder.getChildFile (bundleName); }
    juce::File getStagingFolder() const;

    /** "." + product + ".kitwarden-staging-": the hidden staging folders start with this. */
    static juce::String stagingPrefix (const juce::String& productName);

private:
    InstallOutcome runInstall (const void* archiveData, size_t archiveSize);
    InstallOutcome runUninstall();
    /** A failure because a file is in use, with the programs that hold the bundle's files. */
    InstallOutcome namingHolders (InstallOutcome outcome) const;
    InstallOutcome fail (InstallOutcome::Failure failure);
    InstallOutcome noFolder() const;
    /** A new staging folder of this run's, once the bundle there is known to be removable. */
    InstallOutcome createStaging();
    InstallOutcome extractInto (const PayloadArchive& archive, const juce::File& bundleRoot);
    /** After the swap: what of the copy could not be deleted stays in staging, as "remains". */
    InstallOutcome leaveRemains (const juce::File& copy, bool uninstall);
    void hidePluginNames (const juce::File& path);

    juce::File formatFolder;
    juce::String productName, bundleName;
    platform::FileOps& ops;
};
