#include "BundleInstaller.h"

using Failure = InstallOutcome::Failure;

namespace
{
Failure failureFor (platform::FileError e)
{
    switch (e)
    {
        case platform::FileError::none:         return Failure::none;
        case platform::FileError::inUse:        return Failure::fileInUse;
        case platform::FileError::noPermission: return Failure::noPermission;
        case platform::FileError::diskFull:     return Failure::diskFull;
        case platform::FileError::notFound:
        case platform::FileError::other:        break;
    }

    return Failure::other;
}
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
    if (! formatFolder.isDirectory())
        return;

    const auto prefix = stagingPrefix (productName);

    for (const auto& entry : juce::RangedDirectoryIterator (formatFolder, false, prefix + "*",
                                                            juce::File::findDirectories))
    {
        const auto folder = entry.getFile();
        const auto pidText = folder.getFileName().substring (prefix.length());

        // Only our own pattern: the prefix and a process id, nothing else.
        if (pidText.isEmpty() || ! pidText.containsOnly ("0123456789") || pidText.length() > 9)
            continue;

        const auto pid = pidText.getIntValue();

        if (pid != platform::currentProcessId() && platform::isProcessRunning (pid))
            continue;

        // A run killed between moving the old bundle aside and the new one in left the bundle
        // missing; the old one is still whole in the staging folder, so it goes back.
        const auto aside = folder.getChildFile (bundleName);
        if (! ops.existsNoFollow (getBundle()) && ops.existsNoFollow (aside))
            ops.move (aside, getBundle());

        ops.removeTree (folder);
    }
}

InstallOutcome BundleInstaller::fail (Failure failure)
{
    ops.removeTree (getStagingFolder());
    return InstallOutcome::failed (failure);
}

InstallOutcome BundleInstaller::extractInto (const PayloadArchive& archive, const juce::File& staging)
{
    std::vector<uint8_t> bytes;

    for (const auto& entry : archive.getEntries())
    {
        const auto parts = PayloadArchive::safePathParts (entry.name);

        // Everything in a payload lies inside its bundle; anything else is not ours to write.
        if (parts.isEmpty() || parts[0] != bundleName)
            return InstallOutcome::failed (Failure::corruptedPayload);

        const auto target = staging.getChildFile (parts.joinIntoString ("/"));

        if (entry.isFolder())
        {
            if (auto e = ops.createFolders (target); e != platform::FileError::none)
                return InstallOutcome::failed (failureFor (e));

            continue;
        }

        if (! archive.extract (entry, bytes))
            return InstallOutcome::failed (Failure::corruptedPayload);

        if (auto e = ops.createFolders (target.getParentDirectory()); e != platform::FileError::none)
            return InstallOutcome::failed (failureFor (e));

        if (auto e = ops.writeFile (target, bytes.data(), bytes.size()); e != platform::FileError::none)
            return InstallOutcome::failed (failureFor (e));

        if (auto e = ops.setFileTime (target, entry.time); e != platform::FileError::none)
            return InstallOutcome::failed (failureFor (e));
    }

    return InstallOutcome::done();
}

InstallOutcome BundleInstaller::install (const void* archiveData, size_t archiveSize)
{
    if (formatFolder == juce::File())
        return InstallOutcome::failed (Failure::noInstallFolder);

    const PayloadArchive archive (archiveData, archiveSize);

    if (! archive.isValid() || archive.getEntries().empty())
        return InstallOutcome::failed (Failure::corruptedPayload);

    cleanUpAbandonedStaging();
    const auto staging = getStagingFolder();
    ops.removeTree (staging);

    if (auto e = ops.createFolders (staging); e != platform::FileError::none)
        return fail (failureFor (e));

    if (auto outcome = extractInto (archive, staging.getChildFile ("new")); ! outcome.succeeded())
        return fail (outcome.failure);

    const auto fresh = staging.getChildFile ("new").getChildFile (bundleName);
    const auto aside = staging.getChildFile (bundleName);
    const auto bundle = getBundle();

    if (! ops.existsNoFollow (fresh))
        return fail (Failure::corruptedPayload);

    if (! ops.existsNoFollow (bundle))
    {
        if (auto e = ops.move (fresh, bundle); e != platform::FileError::none)
            return fail (failureFor (e));
    }
    else if (ops.exchange (fresh, bundle) != platform::FileError::none)
    {
        // No swap in one step here: the old bundle goes aside, where the next run finds it
        // should this one be killed before the new one is in.
        if (auto e = ops.move (bundle, aside); e != platform::FileError::none)
            return fail (failureFor (e));

        if (auto e = ops.move (fresh, bundle); e != platform::FileError::none)
        {
            // Should the old bundle not go back now, the staging folder keeps it for the next run.
            if (ops.move (aside, bundle) != platform::FileError::none)
                return InstallOutcome::failed (failureFor (e));

            return fail (failureFor (e));
        }
    }

    // The old bundle now sits in the staging folder; what cannot be removed yet goes next run.
    ops.removeTree (staging);
    return InstallOutcome::done();
}

InstallOutcome BundleInstaller::uninstall()
{
    if (formatFolder == juce::File())
        return InstallOutcome::failed (Failure::noInstallFolder);

    cleanUpAbandonedStaging();
    const auto bundle = getBundle();

    if (! ops.existsNoFollow (bundle))
        return InstallOutcome::done();

    // Moved aside in one step first, so a bundle is either whole or gone, never half-deleted.
    const auto staging = getStagingFolder();
    ops.removeTree (staging);

    // Not where an interrupted install keeps the old bundle: nothing here is ever put back.
    const auto removed = staging.getChildFile ("removed");

    if (auto e = ops.createFolders (removed); e != platform::FileError::none)
        return fail (failureFor (e));

    if (auto e = ops.move (bundle, removed.getChildFile (bundleName)); e != platform::FileError::none)
        return fail (failureFor (e));

    ops.removeTree (staging);

    if (ops.existsNoFollow (bundle))
        return InstallOutcome::failed (Failure::other);

    return InstallOutcome::done();
}
