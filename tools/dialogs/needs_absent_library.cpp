// A runtime stand-in that imports from a DLL no installation holds, so that
// Windows refuses to load it the way it refuses a Java runtime whose Visual C++
// runtime DLLs are missing.
#include <windows.h>

extern "C" __declspec(dllimport) int velmarrow_absent_entry();

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return velmarrow_absent_entry(); }
