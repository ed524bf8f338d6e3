// Linux edition. The product's plug-ins are Windows binaries, so on Linux they live in a Wine
// prefix: drive C: is the prefix's drive_c folder, other drive letters go through its dosdevices.
#include "Platform.h"

#include <cstdlib>

namespace platform
{
namespace
{
juce::File winePrefix()
{
    if (auto* env = std::getenv ("WINEPREFIX"))
    {
        const auto value = juce::String::fromUTF8 (env);

        if (value.startsWithChar ('/'))
            return juce::File (value);
    }

    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".wine");
}

bool isDriveLetter (juce::juce_wchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isSeparator (juce::juce_wchar c)
{
    return c == '\\' || c == '/';
}

// Joins the parts below a drive root, resolving "." and ".." without climbing above the root,
// as Windows does for "C:\..\x".
juce::File childOfRoot (const juce::File& root, const juce::String& rest)
{
    juce::StringArray parts;
    parts.addTokens (rest.replaceCharacter ('\\', '/'), "/", {});
    juce::StringArray kept;

    for (auto& part : parts)
    {
        if (part.isEmpty() || part == ".")
            continue;

        if (part == "..")
        {
            if (! kept.isEmpty())
                kept.remove (kept.size() - 1);

            continue;
        }

        kept.add (part);
    }

    return kept.isEmpty() ? root : root.getChildFile (kept.joinIntoString ("/"));
}
} // namespace

Folders querySystemFolders()
{
    auto driveC = winePrefix().getChildFile ("drive_c");
    return { driveC.getChildFile ("ProgramData"),
             juce::File::getSpecialLocation (juce::File::tempDirectory),
             driveC };
}

juce::File fileFromWindowsPath (const juce::String& path)
{
    if (path.startsWithChar ('/'))
        return juce::File (path);

    if (path.length() < 3 || ! isDriveLetter (path[0]) || path[1] != ':' || ! isSeparator (path[2]))
        return {};

    auto driveC = driveCFolder();

    if (driveC == juce::File())
        return {};

    const auto letter = juce::String::charToString (path[0]).toLowerCase();
    auto root = letter == "c" ? driveC
                              : driveC.getParentDirectory().getChildFile ("dosdevices").getChildFile (letter + ":");

    return childOfRoot (root, path.substring (3));
}

juce::String windowsPathFromFile (const juce::File& file)
{
    auto driveC = driveCFolder();

    if (file == juce::File())
        return {};

    if (driveC != juce::File() && file == driveC)
        return "C:\\";

    if (driveC != juce::File() && file.isAChildOf (driveC))
        return "C:\\" + file.getRelativePathFrom (driveC).replaceCharacter ('/', '\\');

    return file.getFullPathName();
}
} // namespace platform

// File operations of the install run, POSIX edition.
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
        case EBUSY: case ETXTBSY:       return FileError::inUse;
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
};
} // namespace

FileOps& systemFileOps()
{
    static PosixFileOps ops;
    return ops;
}

int currentProcessId()
{
    return (int) ::getpid();
}

bool isProcessRunning (int processId)
{
    return processId > 0 && (::kill ((pid_t) processId, 0) == 0 || errno == EPERM);
}
} // namespace platform
