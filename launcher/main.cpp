#include <windows.h>

#include "launch_application.h"

// The show command is deliberately not passed on: the Java process opens its
// window the way it chooses.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*tail*/, int /*show*/) {
  return launch_application();
}
