// Built like the shipped programs, with a string table as its only difference:
// the binary check must reject it, signed or not.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
