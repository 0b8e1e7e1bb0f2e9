#include <windows.h>

#include "command_tail.h"
#include "run_uninstall.h"

// The tail is taken from the process command line by the same rule the
// start-up code uses, so the rule that picks the mode is the one under test.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*tail*/, int /*show*/) {
  // The boxes make the system load uxtheme.dll and others by bare name, and the
  // default search tries this program's own folder before the system folder,
  // so a DLL of such a name beside it would run here. Only the system folder is
  // searched from here on; a failed call leaves the search as it was.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return run_uninstall(command_tail(GetCommandLineW()));
}
