#include "BundleInstaller.h"

#include "platform/FileHolders.h"

using Failure = InstallOutcome::Failure;
using platform::FileError;

namespace
{
Failure failureFor (FileError e)
{
    switch (e)
    {
        case FileError::none:         return Failure::none;
        case FileError::inUse:        return Failure::fileInUse;
        case FileError::noPermission: return Failure::noPermission;
        case FileError::locked:       return Failure::oldCopyLocked;
        case FileError::diskFull:     return Failure::diskFull;
        case FileError::notFound:
        case FileError::other:        break;
    }

    return Failure::other;
}

// What the staging folder holds; none of it bears the bundle's name.
const char* const freshName = "new";
const char* const asideName = "old";
const char* const removedName = "removed";
// What could not be deleted after the swap: never put back, gone at a later run.
const char* const remainsName = "remains";
} // namespace

BundleInstaller::BundleInstaller (juce::File folder, juce::String product, juce::String bundle, platform::FileOps& o)
    : formatFolder (std::move (folder)), productName (std::move (product)), bundleName (std::move (bundle)), ops (o)
{
}

juce::String BundleInstaller::stagingPrefix (const juce::String& product)
{
    return "." + product + ".kitwarden-staging-";
}

juce::File BundleInstaller::getStagingFolder() const
{
    return formatFolder.getChildFile (stagingPrefix (productName) + juce::String (platform::currentProcessId()));
}

void BundleInstaller::cleanUpAbandonedStaging()
{
    if (formatFolder == juce::File() || ! formatFolder.isDirectory())
        return;

    const auto prefix = stagingPrefix (productName);

    // Files and folders alike, so links are seen as what they are rather than followed.
    for (const auto& entry : juce::RangedDirectoryIterator (formatFolder, false, prefix + "*",
                                                            juce::File::findFilesAndDirectories))
    {
        const auto staging = entry.getFile();
        const auto pidText = staging.getFileName().substring (prefix.length());

        // Only our own pattern: the prefix and a process id, nothing else.
        if (pidText.isEmpty() || ! pidText.containsOnly ("0123456789") || pidText.length() > 9)
            continue;

        const auto pid = pidText.getIntValue();

        if (pid != platform::currentProcessId() && platform::isProcessRunning (pid))
            continue;

        if (! ops.isLink (staging))
        {
            // A run killed between moving the old bundle aside and the new one in left the bundle
            // missing; the old one is still whole in the staging folder, so it goes back. Runs of
            // earlier versions kept it under the bundle's own name.
            for (const auto& aside : { staging.getChildFile (asideName), staging.getChildFile (bundleName) })
                if (! ops.existsNoFollow (getBundle()) && ops.existsNoFollow (aside) && ! ops.isLink (aside))
                    ops.move (aside, getBundle());
        }

        // removeTree never follows a link: a planted one goes, what it points at stays.
        ops.removeTree (staging);
    }
}

InstallOutcome BundleInstaller::fail (Failure failure)
{
    ops.removeTree (getStagingFolder());
    return InstallOutcome::failed (failure);
}

InstallOutcome BundleInstaller::noFolder() const
{
    // Without drive C: no default folder exists at all; say so rather than blame the settings.
    return InstallOutcome::failed (platform::driveCFolder() == juce::File() ? Failure::noSystemDrive
                                                                            : Failure::noInstallFolder);
}

InstallOutcome BundleInstaller::createStaging()
{
    const auto staging = getStagingFolder();

    // Our own process's name: only a leftover of a reused pid can be there. Then the folder is
    // made new, so a link or anything else planted at the name since is never entered.
    ops.removeTree (staging);

    if (auto e = ops.createFolders (formatFolder); e != FileError::none)
        return InstallOutcome::failed (failureFor (e));

    if (auto e = ops.createFolderExclusive (staging); e != FileError::none)
        return InstallOutcome::failed (failureFor (e));

    // An old copy that could only be half deleted, or that a program holds open, is refused
    // before anything of it changes.
    if (auto e = ops.checkRemovable (getBundle()); e != FileError::none)
        return InstallOutcome::failed (e == FileError::inUse ? Failure::fileInUse
                                       : e == FileError::locked ? Failure::oldCopyLocked
                                                                : Failure::oldCopyNotRemovable);

    return InstallOutcome::done();
}

InstallOutcome BundleInstaller::extractInto (const PayloadArchive& archive, const juce::File& bundleRoot)
{
    std::vector<uint8_t> bytes;

    for (const auto& entry : archive.getEntries())
    {
        auto parts = PayloadArchive::safePathParts (entry.name);

        // Everything in a payload lies inside its bundle; anything else is not ours to write.
        if (parts.isEmpty() || parts[0] != bundleName)
            return InstallOutcome::failed (Failure::corruptedPayload);

        // The bundle's own entry is the root: a folder, or for a single-file bundle the file.
        parts.remove (0);
        const auto target = parts.isEmpty() ? bundleRoot : bundleRoot.getChildFile (parts.joinIntoString ("/"));

        if (entry.isFolder())
        {
            if (auto e = ops.createFolders (target); e != FileError::none)
                return InstallOutcome::failed (failureFor (e));

            continue;
        }

        if (! archive.extract (entry, bytes))
            return InstallOutcome::failed (Failure::corruptedPayload);

        if (auto e = ops.createFolders (target.getParentDirectory()); e != FileError::none)
            return InstallOutcome::failed (failureFor (e));

        if (auto e = ops.writeFile (target, bytes.data(), bytes.size()); e != FileError::none)
            return InstallOutcome::failed (failureFor (e));

        if (auto e = ops.setFileTime (target, entry.time); e != FileError::none)
            return InstallOutcome::failed (failureFor (e));
    }

    return InstallOutcome::done();
}

InstallOutcome BundleInstaller::install (const void* archiveData, size_t archiveSize)
{
    return namingHolders (runInstall (archiveData, archiveSize));
}

InstallOutcome BundleInstaller::uninstall()
{
    return namingHolders (runUninstall());
}

InstallOutcome BundleInstaller::namingHolders (InstallOutcome outcome) const
{
    if (outcome.failure != Failure::fileInUse)
        return outcome;

    juce::Array<juce::File> files;
    const auto bundle = getBundle();

    if (bundle.existsAsFile())
        files.add (bundle);
    else
        for (const auto& entry : juce::RangedDirectoryIterator (bundle, true, "*", juce::File::findFiles))
            files.add (entry.getFile());

    outcome.heldBy = platform::programsHolding (files);
    return outcome;
}

InstallOutcome BundleInstaller::runInstall (const void* archiveData, size_t archiveSize)
{
    if (formatFolder == juce::File())
        return noFolder();

    const PayloadArchive archive (archiveData, archiveSize);

    if (! archive.isValid() || archive.getEntries().empty())
        return InstallOutcome::failed (Failure::corruptedPayload);

    cleanUpAbandonedStaging();
    const auto bundle = getBundle();

    if (auto outcome = createStaging(); ! outcome.succeeded())
        return fail (outcome.failure);

    const auto staging = getStagingFolder();
    const auto fresh = staging.getChildFile (freshName);
    const auto aside = staging.getChildFile (asideName);

    if (auto outcome = extractInto (archive, fresh); ! outcome.succeeded())
        return fail (outcome.failure);

    if (! ops.existsNoFollow (fresh))
        return fail (Failure::corruptedPayload);

    // Where the old bundle is once the new one is in: nowhere, or one of the staging names.
    juce::File oldCopy;

    if (! ops.existsNoFollow (bundle))
    {
        if (auto e = ops.move (fresh, bundle); e != FileError::none)
            return fail (failureFor (e));
    }
    else if (ops.exchange (fresh, bundle) == FileError::none)
    {
        oldCopy = fresh;
    }
    else
    {
        // No swap in one step here: the old bundle goes aside, where the next run finds it
        // should this one be killed before the new one is in.
        if (auto e = ops.move (bundle, aside); e != FileError::none)
            return fail (failureFor (e));

        if (auto e = ops.move (fresh, bundle); e != FileError::none)
        {
            // Should the old bundle not go back now, the staging folder keeps it for the next run.
            if (ops.move (aside, bundle) != FileError::none)
                return InstallOutcome::failed (failureFor (e));

            return fail (failureFor (e));
        }

        oldCopy = aside;
    }

    if (ops.removeTree (staging) == FileError::none)
        return InstallOutcome::done();

    // The new copy is whole in place; the old one's remains stay out of a host's sight.
    return leaveRemains (oldCopy, false);
}

InstallOutcome BundleInstaller::leaveRemains (const juce::File& copy, bool uninstall)
{
    const auto staging = getStagingFolder();
    const auto remains = staging.getChildFile (remainsName);

    if (copy != juce::File() && ops.existsNoFollow (copy) && ops.move (copy, remains) == FileError::none)
        hidePluginNames (remains);
    else
        hidePluginNames (staging);

    return InstallOutcome::leftBehindIn (staging, uninstall);
}

void BundleInstaller::hidePluginNames (const juce::File& path)
{
    if (! ops.existsNoFollow (path) || ops.isLink (path))
        return;

    if (path.isDirectory())
        for (const auto& entry : juce::RangedDirectoryIterator (path, false, "*", juce::File::findFilesAndDirectories))
            hidePluginNames (entry.getFile());

    // A host that scans folders deeply would take a leftover binary for the plug-in.
    for (auto* extension : { ".vst3", ".clap", ".aaxplugin" })
        if (path.getFileName().endsWithIgnoreCase (extension))
            ops.move (path, path.getSiblingFile (path.getFileName() + "-leftover"));
}

InstallOutcome BundleInstaller::runUninstall()
{
    if (formatFolder == juce::File())
        return noFolder();

    cleanUpAbandonedStaging();
    const auto bundle = getBundle();

    if (! ops.existsNoFollow (bundle))
        return InstallOutcome::done();

    // Moved aside in one step first, so a bundle is either whole or gone, never half-deleted.
    if (auto outcome = createStaging(); ! outcome.succeeded())
        return fail (outcome.failure);

    const auto staging = getStagingFolder();
    const auto removed = staging.getChildFile (removedName);

    if (auto e = ops.move (bundle, removed); e != FileError::none)
        return fail (failureFor (e));

    // The bundle is gone from its place; what cannot be deleted waits in staging, never as a plug-in.
    if (ops.removeTree (staging) != FileError::none)
        return leaveRemains (removed, true);

    if (ops.existsNoFollow (bundle))
        return InstallOutcome::failed (Failure::other);

    return InstallOutcome::done();
}
