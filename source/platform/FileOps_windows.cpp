// File operations of the install run, Windows edition.
#include "FileOps.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// A folder opened by another program (an explorer window, a working directory) refuses a
// deleter that shares nothing, and would refuse RemoveDirectoryW once its files are gone.
FileError probeFolderExclusive (const juce::File& folder)
{
    const auto h = CreateFileW (wide (folder).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);

    if (h != INVALID_HANDLE_VALUE)
    {
        CloseHandle (h);
        return FileError::none;
    }

    return GetLastError() == ERROR_SHARING_VIOLATION ? FileError::inUse : FileError::none;
}

struct CloseHandleDeleter
{
    void operator() (void* h) const { CloseHandle (h); }
};

using UniqueHandle = std::unique_ptr<void, CloseHandleDeleter>;

UniqueHandle openNoFollow (const juce::File& path, DWORD access)
{
    const auto h = CreateFileW (wide (path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return UniqueHandle (h == INVALID_HANDLE_VALUE ? nullptr : h);
}

juce::String finalPath (HANDLE h)
{
    std::vector<wchar_t> buffer (MAX_PATH + 1);

    for (;;)
    {
        const auto length = GetFinalPathNameByHandleW (h, buffer.data(), (DWORD) buffer.size(), FILE_NAME_NORMALIZED);

        if (length == 0)
            return {};

        if (length < buffer.size())
            return juce::String (buffer.data(), length);

        buffer.resize (length + 1);
    }
}

juce::String finalPath (const juce::File& path)
{
    const auto h = openNoFollow (path, FILE_READ_ATTRIBUTES);
    return h != nullptr ? finalPath (h.get()) : juce::String();
}

bool isInside (const juce::String& path, const juce::String& folder)
{
    return path.equalsIgnoreCase (folder)
        || (path.startsWithIgnoreCase (folder) && path[folder.length()] == '\\');
}

// Wine's kernel32 names a path's Unix counterpart, and its ntdll runs a Unix program; Windows'
// have neither.
using ToUnixName = char* (__cdecl *) (const wchar_t*);
using SpawnUnix = LONG (__cdecl *) (char* const*, int);

template <typename Function>
Function wineFunction (const wchar_t* module, const char* name)
{
    const auto m = GetModuleHandleW (module);
    return m != nullptr ? reinterpret_cast<Function> (reinterpret_cast<void*> (GetProcAddress (m, name))) : nullptr;
}

// Under Wine a Unix symbolic link is followed by every file call, delete and rename included,
// and no attribute need mark it; but a handle opened through it names the target. A path whose
// handle names something other than its parent's name plus its own is such a link. On Windows
// the handle is the link's own (FILE_FLAG_OPEN_REPARSE_POINT), so this is never true there.
bool isHostLink (const juce::File& path)
{
    if (wineFunction<ToUnixName> (L"kernel32.dll", "wine_get_unix_file_name") == nullptr)
        return false;

    const auto parent = path.getParentDirectory();

    if (parent == path)
        return false;

    const auto own = finalPath (path);
    const auto parentsFinal = finalPath (parent);

    if (own.isEmpty() || parentsFinal.isEmpty())
        return false;

    return ! own.equalsIgnoreCase (parentsFinal.trimCharactersAtEnd ("\\") + "\\" + path.getFileName());
}

// A Unix link can only be renamed or removed as a link by the host itself.
bool runHostTool (const char* tool, const juce::StringArray& options, const juce::Array<juce::File>& paths)
{
    const auto toUnix = wineFunction<ToUnixName> (L"kernel32.dll", "wine_get_unix_file_name");
    const auto spawn = wineFunction<SpawnUnix> (L"ntdll.dll", "__wine_unix_spawnvp");

    if (toUnix == nullptr || spawn == nullptr)
        return false;

    std::vector<std::string> arguments { tool };

    for (const auto& option : options)
        arguments.push_back (option.toStdString());

    arguments.push_back ("--");

    for (const auto& path : paths)
    {
        // A missing target has no Unix name yet: its folder's name and its own.
        auto* folderName = toUnix (wide (path.getParentDirectory()).c_str());

        if (folderName == nullptr)
            return false;

        arguments.push_back ((juce::String::fromUTF8 (folderName).trimCharactersAtEnd ("/") + "/" + path.getFileName()).toStdString());
        HeapFree (GetProcessHeap(), 0, folderName);
    }

    std::vector<char*> argv;

    for (auto& argument : arguments)
        argv.push_back (argument.data());

    argv.push_back (nullptr);
    return spawn (argv.data(), 1) == 0;
}

// The system's table of open handles: what another program holds inside a folder even when it
// shares everything (a handle for attributes only, a working directory), which no open can see.
// Such a file lingers after DeleteFileW until the handle closes, and its folder stays.
struct HandleEntry
{
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct HandleTable
{
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG (NTAPI*) (ULONG, void*, ULONG, ULONG*);

bool anotherProcessHoldsInside (const juce::File& folder)
{
    const auto ntdll = GetModuleHandleW (L"ntdll.dll");
    const auto query = ntdll != nullptr ? reinterpret_cast<QuerySystemInformation> (reinterpret_cast<void*> (GetProcAddress (ntdll, "NtQuerySystemInformation")))
                                        : nullptr;
    // Our own handle on the folder tells which object type is a file.
    const auto own = openNoFollow (folder, FILE_READ_ATTRIBUTES);

    if (query == nullptr || own == nullptr)
        return false;

    const auto folderPath = finalPath (own.get());
    constexpr ULONG systemExtendedHandleInformation = 64;
    constexpr LONG infoLengthMismatch = (LONG) 0xC0000004;
    std::vector<char> buffer (1 << 20);
    LONG status = 0;

    for (int attempt = 0; attempt < 8; ++attempt)
    {
        ULONG needed = 0;
        status = query (systemExtendedHandleInformation, buffer.data(), (ULONG) buffer.size(), &needed);

        if (status != infoLengthMismatch)
            break;

        buffer.resize (std::max<size_t> (buffer.size() * 2, (size_t) needed + 65536));
    }

    if (status < 0 || folderPath.isEmpty())
        return false;

    const auto& table = *reinterpret_cast<const HandleTable*> (buffer.data());
    const auto self = (ULONG_PTR) GetCurrentProcessId();
    std::optional<USHORT> fileType;

    for (ULONG_PTR i = 0; i < table.count && ! fileType; ++i)
        if (table.entries[i].processId == self && table.entries[i].handle == (ULONG_PTR) own.get())
            fileType = table.entries[i].objectTypeIndex;

    if (! fileType)
        return false;

    std::map<ULONG_PTR, UniqueHandle> processes;

    for (ULONG_PTR i = 0; i < table.count; ++i)
    {
        const auto& entry = table.entries[i];

        if (entry.processId == self || entry.objectTypeIndex != *fileType)
            continue;

        // The access masks of synchronous pipes, whose queries can block until they are read.
        if (entry.grantedAccess == 0x0012019f || entry.grantedAccess == 0x001a019f || entry.grantedAccess == 0x00120189)
            continue;

        auto& process = processes[entry.processId];

        if (process == nullptr)
            process.reset (OpenProcess (PROCESS_DUP_HANDLE, FALSE, (DWORD) entry.processId));

        HANDLE copy = nullptr;

        if (process == nullptr
            || ! DuplicateHandle (process.get(), (HANDLE) entry.handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;

        const UniqueHandle held (copy);

        // Only files on a disk: asking a pipe's name can block.
        if (GetFileType (held.get()) == FILE_TYPE_DISK && isInside (finalPath (held.get()), folderPath))
            return true;
    }

    return false;
}

// DeleteFileW refuses a read-only file and RemoveDirectoryW a read-only folder; the bundle is
// ours to delete whatever the attribute says. Set through a handle, so a link is never followed.
DWORD clearReadOnly (const juce::File& path, DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return attributes;

    if (const auto h = openNoFollow (path, FILE_WRITE_ATTRIBUTES))
    {
        FILE_BASIC_INFO info {};
        info.FileAttributes = (attributes & ~(DWORD) FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;

        // FILE_ATTRIBUTE_NORMAL is valid only alone.
        if (info.FileAttributes != FILE_ATTRIBUTE_NORMAL)
            info.FileAttributes &= ~(DWORD) FILE_ATTRIBUTE_NORMAL;

        if (SetFileInformationByHandle (h.get(), FileBasicInfo, &info, sizeof (info)))
            return info.FileAttributes;
    }

    return attributes;
}

void restoreAttributes (const juce::File& path, DWORD attributes)
{
    if (const auto h = openNoFollow (path, FILE_WRITE_ATTRIBUTES))
    {
        FILE_BASIC_INFO info {};
        info.FileAttributes = attributes;
        SetFileInformationByHandle (h.get(), FileBasicInfo, &info, sizeof (info));
    }
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
        // Wine would move the link's target; the link itself is what lies here.
        if (isHostLink (from))
        {
            if (existsNoFollow (to))
                return FileError::other;

            return runHostTool ("/bin/mv", { "-n", "-T" }, { from, to }) && isHostLink (to) && ! isHostLink (from)
                       ? FileError::none : FileError::other;
        }

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

        // A link goes, what it points at stays.
        if (isHostLink (path))
        {
            return runHostTool ("/bin/rm", { "-f" }, { path }) && ! isHostLink (path) ? FileError::none : FileError::other;
        }

        const auto found = GetFileAttributesW (wide (path).c_str());
        const auto attributes = clearReadOnly (path, found);
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;

        if (isFolder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            for (const auto& entry : juce::RangedDirectoryIterator (path, false, "*", juce::File::findFilesAndDirectories))
                if (auto e = removeTree (entry.getFile()); e != FileError::none)
                    return e;

        if (isFolder ? RemoveDirectoryW (wide (path).c_str()) : DeleteFileW (wide (path).c_str()))
            return FileError::none;

        const auto error = GetLastError();

        if (attributes != found)
            restoreAttributes (path, found);

        return fromLastError (error);
    }

    bool existsNoFollow (const juce::File& path) override
    {
        return GetFileAttributesW (wide (path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool isLink (const juce::File& path) override
    {
        const auto attributes = GetFileAttributesW (wide (path).c_str());

        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;

        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || isHostLink (path);
    }

    FileError checkRemovable (const juce::File& path) override
    {
        if (auto e = checkEachRemovable (path); e != FileError::none)
            return e;

        // What nothing above could see. A link's target is not ours, so not looked into.
        if (existsNoFollow (path) && ! isLink (path) && anotherProcessHoldsInside (path))
            return FileError::inUse;

        return FileError::none;
    }

private:
    FileError checkEachRemovable (const juce::File& path)
    {
        const auto attributes = GetFileAttributesW (wide (path).c_str());

        // Only the link itself is removed.
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || isHostLink (path))
            return FileError::none;

        // Read-only is no obstacle: removeTree clears it.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return probeExclusive (path);

        // Asked before this folder is listed, while no handle of ours is open on it.
        if (auto e = probeFolderExclusive (path); e != FileError::none)
            return e;

        for (const auto& entry : juce::RangedDirectoryIterator (path, false, "*", juce::File::findFilesAndDirectories))
            if (auto e = checkEachRemovable (entry.getFile()); e != FileError::none)
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
