// What a launcher costs at the least: start the runtime beside this program
// and leave. The bench sets the real launcher against it.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
