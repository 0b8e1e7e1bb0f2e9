#include <windows.h>

#include "command_tail.h"
#include "run_uninstall.h"

// The tail is taken from the process command line by the same rule the
// start-up code uses, so the rule that picks the mode is the one under test.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*tail*/, int /*show*/) {
  return run_uninstall(command_tail(GetCommandLineW()));
}
