// Holds a path open the way another program would, until it is ended: for tests of what an
// install finds held by another process. Prints "held" once it holds the path; exits 2 on misuse,
// 3 when the path cannot be held.
//
//   kw_hold_tool folder|attributes|cwd PATH
#include <windows.h>

#include <cstdio>
#include <string>

int wmain (int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;

    const std::wstring how (argv[1]);
    const auto* path = argv[2];
    bool held = false;

    if (how == L"folder")        // an explorer window or a scanner reading the folder
        held = CreateFileW (path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr) != INVALID_HANDLE_VALUE;
    else if (how == L"attributes") // a handle that reads attributes only, sharing everything
        held = CreateFileW (path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr) != INVALID_HANDLE_VALUE;
    else if (how == L"cwd")        // a shell whose working directory lies inside
        held = SetCurrentDirectoryW (path) != FALSE;
    else
        return 2;

    if (! held)
        return 3;

    std::printf ("held\n");
    std::fflush (stdout);
    Sleep (INFINITE);
    return 0;
}
