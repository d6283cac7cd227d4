#pragma once
// Every Win32 header of the link comes through here: winsock2.h must come before windows.h, whose
// own old winsock.h would clash with it, and the min/max macros would break the standard library.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <windows.h>
