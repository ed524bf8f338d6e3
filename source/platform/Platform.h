#pragma once

// The operating-system services the installer needs. Each service has its own header and one
// source per edition (<service>_linux.cpp, <service>_windows.cpp); nothing outside this folder
// calls an OS API.
#include "FileChecks.h"
#include "FileHolders.h"
#include "FileOps.h"
#include "Keyboard.h"
#include "PeVersionReader.h"
#include "Process.h"
#include "Rendering.h"
#include "Shell.h"
#include "SystemFolders.h"
#include "WindowShape.h"
#include "WindowsPaths.h"
