// What a launcher costs at the least: start the runtime beside this program
// and leave. The bench sets the real launcher against it. Built a second time
// as the full-import floor, which also imports user32 and shell32 as a
// launcher that links them does: the loader then maps both, and all they pull
// in, before the program's first instruction.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef BENCH_IMPORT_USER32_AND_SHELL32
  // Never true: the calls only make the linker import both DLLs.
  if (GetCommandLineW() == nullptr) {
    int count = 0;
    CommandLineToArgvW(L"", &count);
    MessageBoxW(nullptr, L"", L"", MB_OK);
  }
#endif
  wchar_t module[MAX_PATH];
  const std::wstring path(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
  const std::wstring runtime = path.substr(0, path.find_last_of(L'\\')) + L"\\runtime\\bin\\javaw.exe";
  std::wstring command_line = L"\"" + runtime + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(runtime.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
