#include "Process.h"

#include <cerrno>
#include <signal.h>
#include <unistd.h>

namespace platform
{
int currentProcessId()
{
    return (int) ::getpid();
}

bool isProcessRunning (int processId)
{
    return processId > 0 && (::kill ((pid_t) processId, 0) == 0 || errno == EPERM);
}
} // namespace platform
