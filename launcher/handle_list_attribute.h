// Handing the Java process exactly the handles chosen for it, and no other
// inheritable handle the launcher holds.
#pragma once

#include <stddef.h>
#include <windows.h>

// True when handle is open and marked inheritable. False for null,
// INVALID_HANDLE_VALUE and every handle whose flags cannot be read.
bool handle_is_inheritable(HANDLE handle);

// Allocates an attribute list whose one attribute limits inheritance to
// handles[0..count); handles must stay as they are until the process has been
// created. Returns null, with nothing left to release, when count is 0 or the
// list cannot be allocated or filled.
LPPROC_THREAD_ATTRIBUTE_LIST create_handle_list_attribute(HANDLE* handles, size_t count);

// Releases a list that create_handle_list_attribute returned; null does nothing.
void release_handle_list_attribute(LPPROC_THREAD_ATTRIBUTE_LIST attributes);
