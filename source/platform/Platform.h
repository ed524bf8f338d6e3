#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** The operating-system services the installer needs, kept behind one interface.
    Platform.cpp holds what every edition shares; one Platform_<os>.cpp per edition
    holds the rest, and nothing outside this folder calls an OS API.
*/
namespace platform
{
/** Folders the operating system names for us. An empty juce::File means the OS call failed. */
struct Folders
{
    juce::File commonAppData;   // all users' application data (CSIDL_COMMON_APPDATA)
    juce::File temp;            // the user's temporary folder
    juce::File driveC;          // where a "C:" path lands: "C:\" itself, or a Wine prefix's drive_c
};

/** The edition's own answer, asked of the OS each time. */
Folders querySystemFolders();

/** Lets tests run the program's code against folders of their own, in-process.
    Pass std::nullopt to go back to the system's.
*/
void setFoldersForTesting (std::optional<Folders> replacement);

juce::File commonAppDataFolder();
juce::File tempFolder();
juce::File driveCFolder();

/** A path in the Windows form the shared settings file holds ("C:\...", "D:/...") as a file of
    this system. Anything that is not an absolute path gives an empty juce::File, never a
    path relative to the working folder or the root.
*/
juce::File fileFromWindowsPath (const juce::String& path);

/** The reverse, for writing the settings file: "C:\Program Files\..." for a file on drive C:. */
juce::String windowsPathFromFile (const juce::File& file);

/** The fixed file version of a Windows binary ("3.2.1.0"), or an empty string when it has none. */
juce::String binaryFileVersion (const juce::File& file);

/** Hands an https or mailto link to the system's default handler. */
bool openLink (const juce::URL& link);

/** What the support e-mail reports about this machine. */
struct SystemReport
{
    juce::String osName;
    juce::String deviceDescription;
    juce::String cpuModel;
};

SystemReport systemReport();

/** Why a file operation failed, in the terms a user can act on. */
enum class FileError
{
    none,
    inUse,          // held open by another program
    noPermission,   // no rights, or a read-only medium
    diskFull,
    notFound,
    other
};

/** The file operations of an install run, each reporting why it failed. Tests wrap it to
    inject failures; the system's own is systemFileOps().
*/
class FileOps
{
public:
    virtual ~FileOps() = default;

    /** The folder and every missing parent. */
    virtual FileError createFolders (const juce::File& folder) = 0;

    /** Creates or truncates the file and writes all of data. */
    virtual FileError writeFile (const juce::File& file, const void* data, size_t size) = 0;

    /** Access and modification time (and creation time where the system keeps one). */
    virtual FileError setFileTime (const juce::File& file, juce::Time time) = 0;

    /** Renames within one volume; the target must not exist. */
    virtual FileError move (const juce::File& from, const juce::File& to) = 0;

    /** Swaps two existing paths in one step, so neither is ever missing; FileError::other
        where the file system cannot.
    */
    virtual FileError exchange (const juce::File& a, const juce::File& b) = 0;

    /** Removes a file, or a folder with everything in it, without following links. Absent is fine. */
    virtual FileError removeTree (const juce::File& path) = 0;

    /** Anything at the path, a dangling link included. */
    virtual bool existsNoFollow (const juce::File& path) = 0;
};

FileOps& systemFileOps();

int currentProcessId();
bool isProcessRunning (int processId);
} // namespace platform
