// File operations of the install run, Windows edition.
#include "FileOps.h"

#include <windows.h>

namespace platform
{
namespace
{
FileError fromLastError (DWORD e)
{
    switch (e)
    {
        case ERROR_SUCCESS:                                     return FileError::none;
        case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:                            return FileError::inUse;
        case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT:     return FileError::noPermission;
        case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL:      return FileError::diskFull;
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND:   return FileError::notFound;
        default:                                                return FileError::other;
    }
}

std::wstring wide (const juce::File& f)
{
    return f.getFullPathName().toWideCharPointer();
}

// A file another program holds (a host with the plug-in loaded, a scanner reading it) refuses
// an open that shares nothing. Asked before anything moves: a folder that holds such a file can
// still be renamed, and deleting a loaded DLL says "access denied", not "in use".
FileError probeExclusive (const juce::File& file)
{
    // Write access too: a loaded DLL is mapped as an image, which refuses writers but not deleters.
    const auto h = CreateFileW (wide (file).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);

    if (h != INVALID_HANDLE_VALUE)
    {
        CloseHandle (h);
        return FileError::none;
    }

    const auto e = GetLastError();
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || e == ERROR_USER_MAPPED_FILE
               ? FileError::inUse : FileError::none;
}

class WindowsFileOps : public FileOps
{
public:
    FileError createFolders (const juce::File& folder) override
    {
        if (folder.isDirectory())
            return FileError::none;

        if (auto parent = folder.getParentDirectory(); parent != folder)
            if (auto e = createFolders (parent); e != FileError::none)
                return e;

        return CreateDirectoryW (wide (folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS
                   ? FileError::none : fromLastError (GetLastError());
    }

    FileError createFolderExclusive (const juce::File& folder) override
    {
        if (CreateDirectoryW (wide (folder).c_str(), nullptr))
            return FileError::none;

        return GetLastError() == ERROR_ALREADY_EXISTS ? FileError::other : fromLastError (GetLastError());
    }

    FileError writeFile (const juce::File& file, const void* data, size_t size) override
    {
        auto h = CreateFileW (wide (file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

        if (h == INVALID_HANDLE_VALUE)
            return fromLastError (GetLastError());

        auto* p = static_cast<const char*> (data);
        DWORD error = ERROR_SUCCESS;

        while (size > 0)
        {
            DWORD written = 0;
            const auto chunk = (DWORD) std::min<size_t> (size, 1u << 30);

            if (! WriteFile (h, p, chunk, &written, nullptr))
            {
                error = GetLastError();
                break;
            }

            p += written;
            size -= written;
        }

        CloseHandle (h);
        return fromLastError (error);
    }

    FileError setFileTime (const juce::File& file, juce::Time time) override
    {
        const bool ok = file.setCreationTime (time) && file.setLastModificationTime (time) && file.setLastAccessTime (time);
        return ok ? FileError::none : FileError::other;
    }

    FileError move (const juce::File& from, const juce::File& to) override
    {
        return MoveFileExW (wide (from).c_str(), wide (to).c_str(), 0) ? FileError::none : fromLastError (GetLastError());
    }

    FileError exchange (const juce::File&, const juce::File&) override
    {
        // No swap of folders in one step on Windows; the installer falls back to two moves.
        return FileError::other;
    }

    FileError removeTree (const juce::File& path) override
    {
        if (! existsNoFollow (path))
            return FileError::none;

        const auto attributes = GetFileAttributesW (wide (path).c_str());

        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            for (const auto& entry : juce::RangedDirectoryIterator (path, false, "*", juce::File::findFilesAndDirectories))
                if (auto e = removeTree (entry.getFile()); e != FileError::none)
                    return e;

        const bool ok = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW (wide (path).c_str())
                                                                      : DeleteFileW (wide (path).c_str());
        return ok ? FileError::none : fromLastError (GetLastError());
    }

    bool existsNoFollow (const juce::File& path) override
    {
        return GetFileAttributesW (wide (path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool isLink (const juce::File& path) override
    {
        const auto attributes = GetFileAttributesW (wide (path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

    FileError checkRemovable (const juce::File& path) override
    {
        const auto attributes = GetFileAttributesW (wide (path).c_str());

        if (attributes == INVALID_FILE_ATTRIBUTES)
            return FileError::none;

        // DeleteFileW refuses read-only files.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return FileError::noPermission;

        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            if (auto e = probeExclusive (path); e != FileError::none)
                return e;

        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            for (const auto& entry : juce::RangedDirectoryIterator (path, false, "*", juce::File::findFilesAndDirectories))
                if (auto e = checkRemovable (entry.getFile()); e != FileError::none)
                    return e;

        return FileError::none;
    }
};
} // namespace

FileOps& systemFileOps()
{
    static WindowsFileOps ops;
    return ops;
}
} // namespace platform
