#include "InstallOutcome.h"

#include "product/ProductInfo.h"

using Failure = InstallOutcome::Failure;

juce::String InstallOutcome::describe() const
{
    switch (failure)
    {
        case Failure::none:             return {};
        case Failure::fileInUse:
            if (! heldBy.isEmpty())
                return "a file is in use by " + heldBy.joinIntoString (", ") + ": close it and run the installer again.";

            return "a file is in use. Close your audio software and run the installer again.";
        case Failure::noPermission:     return "no permission to write the plug-in folder. Run the installer as administrator.";
        case Failure::diskFull:         return "the disk is full. Free some space and run the installer again.";
        case Failure::corruptedPayload: return "the installer is damaged. Download it again.";
        case Failure::noInstallFolder:  return juce::String ("no install folder is set. Check the paths in ") + ProductInfo::settingsFileName + ".";
        case Failure::noSystemDrive:    return "drive C: was not found. Check WINEPREFIX and HOME, then run the installer again.";
        case Failure::oldCopyNotRemovable:
            return "the installed copy could not be removed: no permission. Run the installer as administrator.";
        case Failure::oldCopyLocked:
            return "the installed copy could not be removed: files in it are locked against deletion. Unlock them and run the installer again.";
        case Failure::leftBehind:
            return juce::String (wasUninstall ? "removed" : "installed")
                   + ", but old files that could not be deleted wait in the folder \"" + leftIn.getFileName()
                   + "\" beside it until the next start.";
        case Failure::other:            break;
    }

    return "the plug-in folder could not be changed. Check it and run the installer again.";
}
