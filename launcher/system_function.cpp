#include "system_function.h"

FARPROC load_system_function(const wchar_t* library, const char* name) {
  const HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) {
    return nullptr;
  }
  return GetProcAddress(module, name);
}
