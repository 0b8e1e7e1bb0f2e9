// A stand-in for the private Java runtime (and for any program of the
// installation that must merely be running). Told through its environment:
//   STANDIN_RECORD   file to write, as UTF-16 lines key=value: its pid, command
//                    line, arguments as CommandLineToArgvW and the C runtime
//                    parse them, current directory, and up to 64 bytes of stdin
//   STANDIN_OUTPUT   file whose bytes it copies to standard output
//   STANDIN_ERROR    text it writes to standard error
//   STANDIN_SLEEP_MS how long to stay alive
//   STANDIN_EXIT     its exit code
//   STANDIN_WINDOW   when set, opens a window for a moment, so that Wine
//                    starts its desktop and helper processes
//   STANDIN_STARTED  file to write, as decimal text, the QueryPerformanceCounter
//                    value at the top of wWinMain
//   STANDIN_ENDED    file to write, likewise, the value just before it returns
#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>
#include <wchar.h>

#include <string>

namespace {

std::wstring variable(const wchar_t* name) {
  wchar_t value[4096];
  const DWORD length = GetEnvironmentVariableW(name, value, 4096);
  if (length == 0 || length >= 4096) return L"";
  return value;
}

void write_bytes(HANDLE handle, const void* data, DWORD size) {
  DWORD written = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) WriteFile(handle, data, size, &written, nullptr);
}

void copy_file_to(HANDLE out, const std::wstring& path) {
  HANDLE in = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) write_bytes(out, buffer, got);
  CloseHandle(in);
}

std::wstring read_stdin() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE || GetFileType(in) != FILE_TYPE_DISK) return L"";
  char buffer[65];
  DWORD got = 0;
  if (!ReadFile(in, buffer, 64, &got, nullptr)) return L"";
  return std::wstring(buffer, buffer + got);
}

// Opened early, so that the stamp at the end costs only a write.
HANDLE open_stamp(const wchar_t* variable_name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(variable_name, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
}

void write_stamp(HANDLE file, LONGLONG counter) {
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = std::to_string(counter);
  write_bytes(file, text.data(), static_cast<DWORD>(text.size()));
  CloseHandle(file);
}

LONGLONG counter_now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

void record(const std::wstring& path) {
  std::wstring text;
  text += L"pid=" + std::to_wstring(GetCurrentProcessId()) + L"\n";
  text += L"command_line=" + std::wstring(GetCommandLineW()) + L"\n";
  int count = 0;
  wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; list != nullptr && i < count; ++i) text += L"arg=" + std::wstring(list[i]) + L"\n";
  LocalFree(list);
  for (int i = 1; i < __argc; ++i) text += L"crt_arg=" + std::wstring(__wargv[i]) + L"\n";
  wchar_t directory[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, directory);
  text += L"cwd=" + std::wstring(directory) + L"\n";
  text += L"stdin=" + read_stdin() + L"\n";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  write_bytes(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  CloseHandle(file);
}

int run() {
  if (!variable(L"STANDIN_WINDOW").empty()) {
    // A window of its own, gone again after 200 ms.
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, nullptr);
    MSG message;
    HWND window = CreateWindowExW(0, L"STATIC", L"warm-up", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    while (GetMessageW(&message, nullptr, 0, 0) && message.message != WM_TIMER) DispatchMessageW(&message);
    DestroyWindow(window);
    KillTimer(nullptr, timer);
    return 0;
  }
  const std::wstring record_path = variable(L"STANDIN_RECORD");
  if (!record_path.empty()) record(record_path);
  const std::wstring output = variable(L"STANDIN_OUTPUT");
  if (!output.empty()) copy_file_to(GetStdHandle(STD_OUTPUT_HANDLE), output);
  const std::wstring error = variable(L"STANDIN_ERROR");
  if (!error.empty()) {
    const std::string bytes(error.begin(), error.end());
    write_bytes(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()));
  }
  const std::wstring sleep = variable(L"STANDIN_SLEEP_MS");
  if (!sleep.empty()) Sleep(static_cast<DWORD>(_wtoi(sleep.c_str())));
  const std::wstring code = variable(L"STANDIN_EXIT");
  return code.empty() ? 0 : static_cast<int>(wcstoul(code.c_str(), nullptr, 10));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Taken before anything else, so that a start timing ends at the first
  // instruction the program itself runs.
  const LONGLONG started_at = counter_now();
  write_stamp(open_stamp(L"STANDIN_STARTED"), started_at);
  const HANDLE ended = open_stamp(L"STANDIN_ENDED");
  const int exit_code = run();
  write_stamp(ended, counter_now());
  return exit_code;
}
