#include "Process.h"

#include <windows.h>

namespace platform
{
int currentProcessId()
{
    return (int) GetCurrentProcessId();
}

bool isProcessRunning (int processId)
{
    auto h = OpenProcess (PROCESS_QUERY_LIMITED_INFORMATION, FALSE, (DWORD) processId);

    if (h == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;

    DWORD code = 0;
    const bool running = GetExitCodeProcess (h, &code) && code == STILL_ACTIVE;
    CloseHandle (h);
    return running;
}
} // namespace platform
