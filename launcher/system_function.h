// Functions of system DLLs that the launcher needs only on some starts.
#pragma once

#include <windows.h>

// The address of function name in the system DLL library, loaded on first use
// from the system folder alone, so a DLL of that name beside the launcher is
// never taken. The DLL stays loaded until the process ends. Returns null when
// the DLL cannot be loaded or does not export the function.
FARPROC load_system_function(const wchar_t* library, const char* name);

// Casts what load_system_function returned to the function's real type.
template <typename Function>
Function system_function_as(FARPROC address) {
  // Through the generic function pointer type, which compilers accept
  // between any two function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
