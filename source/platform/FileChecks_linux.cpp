#include "FileChecks.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
namespace
{
/** Reads an already opened descriptor, which it owns. */
class DescriptorStream : public juce::InputStream
{
public:
    DescriptorStream (int descriptor, juce::int64 size) : fd (descriptor), length (size) {}
    ~DescriptorStream() override { ::close (fd); }

    juce::int64 getTotalLength() override   { return length; }
    bool isExhausted() override             { return position >= length; }
    juce::int64 getPosition() override      { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        if (::lseek (fd, (off_t) newPosition, SEEK_SET) < 0)
            return false;

        position = newPosition;
        return true;
    }

    int read (void* dest, int bytes) override
    {
        int done = 0;

        while (done < bytes)
        {
            const auto got = ::read (fd, static_cast<char*> (dest) + done, (size_t) (bytes - done));

            if (got < 0 && errno == EINTR)
                continue;

            if (got <= 0)
                break;

            done += (int) got;
        }

        position += done;
        return done;
    }

private:
    int fd;
    juce::int64 length;
    juce::int64 position = 0;
};
} // namespace

std::unique_ptr<juce::InputStream> openRegularFile (const juce::File& file)
{
    if (file == juce::File())
        return {};

    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);

    if (fd < 0)
        return {};

    struct stat info;

    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
    {
        ::close (fd);
        return {};
    }

    return std::make_unique<DescriptorStream> (fd, (juce::int64) info.st_size);
}

bool isOwnRegularFile (const juce::File& file)
{
    struct stat info;
    return file != juce::File()
        && ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0
        && S_ISREG (info.st_mode)
        && info.st_uid == ::geteuid();
}
} // namespace platform
