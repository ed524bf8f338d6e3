#include "TestSupport.h"

#include <functional>
#include <string_view>

#if JUCE_WINDOWS
 #include <windows.h>
 #include <tlhelp32.h>
#else
 #include <unistd.h>
#endif

namespace testing_support
{
TempFolder::TempFolder()
{
    // Named per process: test cases run in parallel processes, each making its own.
    static int counter = 0;
    const auto base = juce::File::getSpecialLocation (juce::File::tempDirectory);
    folder = base.getNonexistentChildFile ("kitwarden-test-" + juce::String (platform::currentProcessId())
                                               + "-" + juce::String (++counter) + "-", "", false);
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

ScopedPrefix::ScopedPrefix (bool withProgramData)
{
    driveC().createDirectory();
    tempDir().createDirectory();

    if (withProgramData)
        settingsFolder().createDirectory();

    setFolders ({ driveC().getChildFile ("ProgramData"), tempDir(), driveC() });
}

ScopedPrefix::~ScopedPrefix()
{
    platform::setFoldersForTesting (std::nullopt);
}

void ScopedPrefix::setFolders (const platform::Folders& folders)
{
    platform::setFoldersForTesting (folders);
}

juce::File ScopedPrefix::defaultFolder (FormatIndex format) const
{
    const char* below[] = { "VST3", "CLAP", "Avid/Audio/Plug-Ins" };
    return commonFiles().getChildFile (below[format]);
}

int anotherRunningProcessId()
{
   #if JUCE_WINDOWS
    // Under Wine the parent may be no Windows process at all; any other process will do.
    int found = 0;
    const auto snapshot = CreateToolhelp32Snapshot (TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry {};
    entry.dwSize = sizeof (entry);

    for (auto more = Process32FirstW (snapshot, &entry); more && found == 0; more = Process32NextW (snapshot, &entry))
        if ((int) entry.th32ProcessID != platform::currentProcessId() && entry.th32ProcessID != 0
            && platform::isProcessRunning ((int) entry.th32ProcessID))
            found = (int) entry.th32ProcessID;

    CloseHandle (snapshot);
    return found;
   #else
    return (int) getppid();
   #endif
}

std::map<juce::String, juce::String> bundlePart (const std::map<juce::String, juce::String>& listing,
                                                 const juce::String& bundleName)
{
    std::map<juce::String, juce::String> part;

    for (const auto& [path, what] : listing)
        if (path == bundleName || path.startsWith (bundleName + "/"))
            part[path] = what;

    return part;
}

juce::Component* childNamed (const juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
        if (child->getName() == name)
            return child;

    return nullptr;
}

juce::Button* buttonNamed (const juce::Component& parent, const juce::String& name)
{
    return dynamic_cast<juce::Button*> (childNamed (parent, name));
}

juce::StringArray windowManagerAtoms()
{
    juce::StringArray atoms;
    atoms.addLines (juce::File (KW_TESTS_DIR).getChildFile ("support/wm_atoms.txt").loadFileAsString());
    atoms.removeEmptyStrings();
    return atoms;
}

juce::String relativePath (const juce::File& file, const juce::File& root)
{
    // One form on both editions, so listings compare with paths written in tests.
    return file.getRelativePathFrom (root).replaceCharacter ('\\', '/');
}

std::map<juce::String, juce::String> listTree (const juce::File& root)
{
    std::map<juce::String, juce::String> tree;

    for (const auto& entry : juce::RangedDirectoryIterator (root, true, "*", juce::File::findFilesAndDirectories))
    {
        const auto& file = entry.getFile();
        const auto relative = relativePath (file, root);

        if (entry.isDirectory())
        {
            tree[relative] = "folder";
            continue;
        }

        juce::MemoryBlock content;
        file.loadFileAsData (content);
        const std::string_view bytes (static_cast<const char*> (content.getData()), content.getSize());
        tree[relative] = juce::String (content.getSize()) + " "
                       + juce::String::toHexString ((juce::int64) std::hash<std::string_view>{} (bytes));
    }

    return tree;
}

juce::File resourceFile (const juce::String& name)
{
    // The product's files as the kit made them, the installer's own from resources/.
    const auto fromKit = juce::File (KW_KIT_DIR).getChildFile (name);
    return fromKit.existsAsFile() ? fromKit : juce::File (KW_RESOURCES_DIR).getChildFile (name);
}

juce::MemoryBlock inflateEntry (const void* zipData, size_t zipSize, const juce::String& entryName)
{
    juce::MemoryInputStream source (zipData, zipSize, false);
    juce::ZipFile zip (source);
    juce::MemoryBlock result;

    if (auto* entry = zip.getEntry (entryName))
        if (std::unique_ptr<juce::InputStream> in { zip.createStreamForEntry (*entry) })
            in->readIntoMemoryBlock (result);

    return result;
}
} // namespace testing_support
