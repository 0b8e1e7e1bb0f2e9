#include "launch_messages.h"

const wchar_t* process_start_failure_text(DWORD error) {
  if (error == ERROR_MOD_NOT_FOUND || error == ERROR_DLL_NOT_FOUND) {
    return kMissingLibraryText;
  }
  return kCouldNotStartText;
}
