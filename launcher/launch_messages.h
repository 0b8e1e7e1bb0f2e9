// What the launcher tells the user when a start fails.
#pragma once

#include <windows.h>

constexpr const wchar_t* kRuntimeMissingText =
    L"The app files are incomplete. Install Library by Velmarrow again.";
constexpr const wchar_t* kCouldNotStartText = L"Library by Velmarrow could not start.";
constexpr const wchar_t* kMissingLibraryText =
    L"Windows is missing a library this app needs. Install the Microsoft Visual C++ 2015-2022 "
    L"runtime, then open Library by Velmarrow again.";
constexpr const wchar_t* kClosedEarlyText =
    L"Library by Velmarrow closed before the window opened.";

// The text for a failed CreateProcessW with this last error: a missing DLL
// (126 or 1157) points the user at the runtime they lack, anything else is a
// plain failed start. Never null. Calls nothing of the platform.
const wchar_t* process_start_failure_text(DWORD error);
