#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
/** Why a file operation failed, in the terms a user can act on. */
enum class FileError
{
    none,
    inUse,          // held open by another program
    noPermission,   // no rights, or a read-only medium
    locked,         // marked against deletion (Linux: immutable or append-only)
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

    /** One new folder; FileError::other when anything, a link included, is already at the path. */
    virtual FileError createFolderExclusive (const juce::File& folder) = 0;

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

    /** Removes a file, or a folder with everything in it, without following links; goes on past
        what cannot be deleted, so as little as possible is left. Absent is fine.
    */
    virtual FileError removeTree (const juce::File& path) = 0;

    /** Anything at the path, a dangling link included. */
    virtual bool existsNoFollow (const juce::File& path) = 0;

    /** Whether the path itself is a symbolic link (or, on Windows, a reparse point). */
    virtual bool isLink (const juce::File& path) = 0;

    /** Whether removeTree could remove everything below and at the path: every folder in it
        may have its entries deleted, nothing in it is marked against deletion
        (FileError::locked), and (on Windows) no file in it is held open by another program
        (FileError::inUse). Looked at before anything is moved, so a bundle is never left
        half-deleted.
    */
    virtual FileError checkRemovable (const juce::File& path) = 0;
};

FileOps& systemFileOps();

} // namespace platform
