#include <windows.h>

#include "launch_application.h"

// The show command is deliberately not passed on: the Java process opens its
// window the way it chooses.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*tail*/, int /*show*/) {
  // The failure dialog makes the system load uxtheme.dll and others by bare
  // name, and the default search tries the install directory first: a DLL put
  // there under such a name would run inside the launcher. Only the system
  // folder is searched from here on; a failed call leaves the search as it was.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return launch_application();
}
