#pragma once

namespace platform
{
/** This process's id, as the staging folders' names carry it. */
int currentProcessId();

/** Whether a process with this id is alive (or exists and is not ours to signal). */
bool isProcessRunning (int processId);
} // namespace platform
