// The control for the planted library: a program that shows the same kind of
// box as the real programs but leaves the DLL search as the system sets it,
// with its own folder first. Exits 0 once the box is closed.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*tail*/, int /*show*/) {
  MessageBoxW(nullptr, L"A box without a restricted DLL search.", L"Library by Velmarrow", MB_ICONERROR);
  return 0;
}
