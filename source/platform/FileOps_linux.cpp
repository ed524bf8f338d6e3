// File operations of the install run, POSIX edition.
#include "FileOps.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform
{
namespace
{
FileError fromErrno (int e)
{
    switch (e)
    {
        case 0:                         return FileError::none;
        case ETXTBSY:                   return FileError::inUse;   // a running binary written to
        case EACCES: case EPERM:
        case EROFS:                     return FileError::noPermission;
        case ENOSPC: case EDQUOT:       return FileError::diskFull;
        case ENOENT:                    return FileError::notFound;
        default:                        return FileError::other;
    }
}

std::filesystem::path pathOf (const juce::File& f)
{
    return std::filesystem::path (f.getFullPathName().toStdString());
}

class PosixFileOps : public FileOps
{
public:
    FileError createFolders (const juce::File& folder) override
    {
        std::error_code ec;
        std::filesystem::create_directories (pathOf (folder), ec);
        return fromErrno (ec.value());
    }

    FileError createFolderExclusive (const juce::File& folder) override
    {
        if (::mkdir (folder.getFullPathName().toRawUTF8(), 0755) == 0)
            return FileError::none;

        return errno == EEXIST ? FileError::other : fromErrno (errno);
    }

    FileError writeFile (const juce::File& file, const void* data, size_t size) override
    {
        const int fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

        if (fd < 0)
            return fromErrno (errno);

        auto* p = static_cast<const char*> (data);
        int error = 0;

        while (size > 0)
        {
            const auto written = ::write (fd, p, size);

            if (written < 0)
            {
                if (errno == EINTR)
                    continue;

                error = errno;
                break;
            }

            p += written;
            size -= (size_t) written;
        }

        if (::close (fd) != 0 && error == 0)
            error = errno;

        return fromErrno (error);
    }

    FileError setFileTime (const juce::File& file, juce::Time time) override
    {
        const auto ms = time.toMilliseconds();
        timespec times[2];
        times[0].tv_sec = times[1].tv_sec = (time_t) (ms / 1000);
        times[0].tv_nsec = times[1].tv_nsec = (long) (ms % 1000) * 1000000;
        return ::utimensat (AT_FDCWD, file.getFullPathName().toRawUTF8(), times, AT_SYMLINK_NOFOLLOW) == 0
                   ? FileError::none : fromErrno (errno);
    }

    FileError move (const juce::File& from, const juce::File& to) override
    {
        // renameat2 with RENAME_NOREPLACE: never lands on something that appeared meanwhile.
        if (::syscall (SYS_renameat2, AT_FDCWD, from.getFullPathName().toRawUTF8(),
                       AT_FDCWD, to.getFullPathName().toRawUTF8(), 1u /* RENAME_NOREPLACE */) == 0)
            return FileError::none;

        if (errno != EINVAL && errno != ENOSYS)
            return fromErrno (errno);

        if (existsNoFollow (to))
            return FileError::other;

        return ::rename (from.getFullPathName().toRawUTF8(), to.getFullPathName().toRawUTF8()) == 0
                   ? FileError::none : fromErrno (errno);
    }

    FileError exchange (const juce::File& a, const juce::File& b) override
    {
        if (::syscall (SYS_renameat2, AT_FDCWD, a.getFullPathName().toRawUTF8(),
                       AT_FDCWD, b.getFullPathName().toRawUTF8(), 2u /* RENAME_EXCHANGE */) == 0)
            return FileError::none;

        // EINVAL: the file system cannot swap in one step; the caller falls back to two moves.
        return errno == EINVAL || errno == ENOSYS ? FileError::other : fromErrno (errno);
    }

    FileError removeTree (const juce::File& path) override
    {
        std::error_code ec;
        std::filesystem::remove_all (pathOf (path), ec);
        return fromErrno (ec.value());
    }

    bool existsNoFollow (const juce::File& path) override
    {
        struct stat info;
        return ::lstat (path.getFullPathName().toRawUTF8(), &info) == 0;
    }

    bool isLink (const juce::File& path) override
    {
        struct stat info;
        return ::lstat (path.getFullPathName().toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
    }

    FileError checkRemovable (const juce::File& path) override
    {
        struct stat info;

        if (::lstat (path.getFullPathName().toRawUTF8(), &info) != 0)
            return errno == ENOENT ? FileError::none : fromErrno (errno);

        if (! S_ISDIR (info.st_mode))
            return FileError::none;

        // Deleting a folder's entries needs write and search rights on it (root has them anyway).
        if (::access (path.getFullPathName().toRawUTF8(), W_OK | X_OK) != 0)
            return fromErrno (errno);

        std::error_code ec;
        for (std::filesystem::directory_iterator it (pathOf (path), ec), end; ! ec && it != end; it.increment (ec))
            if (auto e = checkRemovable (juce::File (juce::String (it->path().string()))); e != FileError::none)
                return e;

        return ec ? fromErrno (ec.value()) : FileError::none;
    }
};
} // namespace

FileOps& systemFileOps()
{
    static PosixFileOps ops;
    return ops;
}
} // namespace platform
