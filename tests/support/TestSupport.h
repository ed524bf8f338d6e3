#pragma once

#include "platform/Platform.h"
#include "product/FormatSpec.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>

namespace testing_support
{
/** Makes JUCE's own checks fail the test that trips them: an assertion (in builds with
    JUCE_DEBUG and JUCE_LOG_ASSERTIONS) fails the running test, and one outside any test, such
    as the leak detector's report at exit, ends the process with status 3. Called first in main.
*/
void failTestsOnJuceChecks();

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();

    const juce::File& get() const noexcept { return folder; }

private:
    juce::File folder;
    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};

/** A throw-away Wine-style prefix that the program's code sees in place of the system's folders. */
class ScopedPrefix
{
public:
    /** withProgramData: create drive_c/ProgramData/Fernhollow, where the settings file lives. */
    explicit ScopedPrefix (bool withProgramData = true);
    ~ScopedPrefix();

    juce::File root() const         { return temp.get(); }
    juce::File driveC() const       { return temp.get().getChildFile ("drive_c"); }
    juce::File settingsFolder() const { return driveC().getChildFile ("ProgramData/Fernhollow"); }
    juce::File settingsFile() const { return settingsFolder().getChildFile ("KitwardenSettings.txt"); }
    juce::File tempDir() const      { return temp.get().getChildFile ("tmp"); }
    juce::File commonFiles() const  { return driveC().getChildFile ("Program Files/Common Files"); }

    /** Where the program must put the format when no settings file says otherwise. */
    juce::File defaultFolder (FormatIndex format) const;

    /** Replace what the program is told; for the failing-OS-call cases. */
    void setFolders (const platform::Folders& folders);

private:
    TempFolder temp;
    JUCE_DECLARE_NON_COPYABLE (ScopedPrefix)
};

/** The id of a process other than this one that is running now (the parent, or a system service). */
int anotherRunningProcessId();

/** file's path from root in the form listTree uses ("a/b", on either edition). */
juce::String relativePath (const juce::File& file, const juce::File& root);

/** Every file and folder below root, by relative path ("a/b", on either edition), with each
    file's size and content hash. */
std::map<juce::String, juce::String> listTree (const juce::File& root);

/** Only the entries of a listing that are the bundle or lie below it. */
std::map<juce::String, juce::String> bundlePart (const std::map<juce::String, juce::String>& listing,
                                                 const juce::String& bundleName);

/** The direct child with this component name, or nullptr. */
juce::Component* childNamed (const juce::Component& parent, const juce::String& name);

/** The same, as a button. */
juce::Button* buttonNamed (const juce::Component& parent, const juce::String& name);

/** The atoms a bare X server lacks and the framework only looks up (shared with the window tests). */
juce::StringArray windowManagerAtoms();

/** The shipped resource files, as the build embedded them. */
juce::File resourceFile (const juce::String& name);

/** A file entry of an embedded zip, inflated into memory. */
juce::MemoryBlock inflateEntry (const void* zipData, size_t zipSize, const juce::String& entryName);
} // namespace testing_support
