// Which of the launcher's handles the Java process inherits.
#pragma once

#include <stddef.h>
#include <windows.h>

constexpr size_t kInheritedHandlesCapacity = 2;

// Writes into handles (kInheritedHandlesCapacity entries) the handles the Java
// process is to inherit and returns how many: the start log, then the
// standard input when input_inheritable says it is marked inheritable. Only
// real handles are chosen: never null, INVALID_HANDLE_VALUE, a pseudo handle
// or one handle twice, because a single bad entry makes Windows inherit
// nothing or refuse the start. Returns 0, choosing nothing, when the log is no
// real handle. Calls nothing of the platform.
size_t choose_inherited_handles(HANDLE log, HANDLE standard_input, bool input_inheritable,
                                HANDLE* handles);
