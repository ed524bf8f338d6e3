// File operations of the install run, POSIX edition.
#include "FileOps.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

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

// Immutable and append-only entries cannot be deleted, not even by root; a folder so marked
// keeps its entries too. File systems without these flags say so, and nothing is marked there.
bool isMarkedAgainstDeletion (const juce::File& path)
{
    const int fd = ::open (path.getFullPathName().toRawUTF8(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);

    if (fd < 0)
        return false;

    int flags = 0;
    const bool marked = ::ioctl (fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
    ::close (fd);
    return marked;
}

/** Removes what it can below and at the path, never following a link; the first error. */
int removeAll (const std::string& path)
{
    struct stat info;

    if (::lstat (path.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : errno;

    int firstError = 0;

    if (S_ISDIR (info.st_mode))
    {
        std::error_code ec;
        std::vector<std::string> children;

        for (std::filesystem::directory_iterator it (path, ec), end; ! ec && it != end; it.increment (ec))
            children.push_back (it->path().string());

        if (ec)
            firstError = ec.value();

        for (const auto& child : children)
            if (const auto e = removeAll (child); e != 0 && firstError == 0)
                firstError = e;

        if (::rmdir (path.c_str()) != 0 && firstError == 0)
            firstError = errno;
    }
    else if (::unlink (path.c_str()) != 0)
    {
        firstError = errno;
    }

    return firstError;
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
        return fromErrno (removeAll (path.getFullPathName().toStdString()));
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

        if ((S_ISREG (info.st_mode) || S_ISDIR (info.st_mode)) && isMarkedAgainstDeletion (path))
            return FileError::locked;

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
