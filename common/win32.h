// The one place where product code gets the platform from: the Windows SDK
// in the Windows build, the simulated Windows of winsim/ in the host build.
#ifndef KIT_COMMON_WIN32_H
#define KIT_COMMON_WIN32_H

#ifdef KIT_HOST
#include "winsim/winsim.h"
#else
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// windows.h comes first; initguid.h makes devguid.h define the class GUIDs.
// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <tlhelp32.h>
#include <initguid.h>
#include <devguid.h>
#include <stdlib.h>
#include <string.h>
// clang-format on
#endif

#endif
