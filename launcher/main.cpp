#include <windows.h>

#include "launch_application.h"

// The show command is deliberately not passed on: the Java process opens its
// window the way it chooses.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return launch_application();
}
