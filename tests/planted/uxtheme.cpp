// A library planted in an install directory under the name of one that the
// system libraries load by bare name when a message box opens. Whichever
// process loads it appends its own path, as a UTF-8 line, to
// uxtheme-loaded.txt beside the library. It then declines to stay loaded, so
// the caller goes on as it does without a theme library and the box still
// appears.
#include <windows.h>

#include <wchar.h>

namespace {

constexpr wchar_t kMarkerName[] = L"uxtheme-loaded.txt";

void append_marker(HINSTANCE library) {
  wchar_t marker[MAX_PATH];
  const DWORD length = GetModuleFileNameW(library, marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t* name = wcsrchr(marker, L'\\');
  if (name == nullptr || (name + 1 - marker) + wcslen(kMarkerName) >= MAX_PATH) return;
  wcscpy(name + 1, kMarkerName);

  wchar_t process[MAX_PATH];
  const DWORD process_length = GetModuleFileNameW(nullptr, process, MAX_PATH);
  char line[4 * MAX_PATH + 1];
  int line_length = WideCharToMultiByte(CP_UTF8, 0, process, static_cast<int>(process_length), line,
                                        sizeof line - 1, nullptr, nullptr);
  line[line_length++] = '\n';

  HANDLE file = CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(line_length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID /*reserved*/) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  append_marker(library);
  return FALSE;
}
