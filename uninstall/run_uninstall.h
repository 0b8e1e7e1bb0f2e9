// The uninstall sequence.
#pragma once

#include <wchar.h>

// Removes the installation the program runs from: asks first unless the tail
// selects silent mode, ends the installation's processes, deletes the
// shortcut and the registration key, reports the result (interactive mode
// only) and starts the deferred removal of the install directory. Returns 1,
// changing nothing, when the own path is unavailable or cut or the directory
// is no installation (interactive mode says so); 0 on every other path,
// including a declined question and failed removal steps.
int run_uninstall(const wchar_t* tail);
