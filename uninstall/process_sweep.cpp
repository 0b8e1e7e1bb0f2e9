#include "process_sweep.h"

#include <windows.h>
#include <tlhelp32.h>

#include "install_layout.h"

namespace {

bool is_swept_name(const wchar_t* executable_name) {
  return _wcsicmp(executable_name, kJavaRuntimeFileName) == 0 ||
         _wcsicmp(executable_name, kLauncherFileName) == 0;
}

// Judges the process by its own image path, whatever process the id names by now.
void end_if_in_directory(DWORD process_id, const wchar_t* install_directory) {
  HANDLE process = nullptr;
  PathBuffer image_path;
  DWORD capacity = kPathCapacity;

  process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr) {
    return;
  }
  if (QueryFullProcessImageNameW(process, 0, image_path, &capacity) &&
      image_path_in_directory(image_path, install_directory)) {
    TerminateProcess(process, 0);
  }
  CloseHandle(process);
}

}  // namespace

bool image_path_in_directory(const wchar_t* image_path, const wchar_t* install_directory) {
  const size_t length = wcslen(install_directory);
  if (_wcsnicmp(image_path, install_directory, length) != 0) {
    return false;
  }
  return image_path[length] == L'\\' || image_path[length] == L'\0';
}

void sweep_install_processes(const wchar_t* install_directory) {
  HANDLE snapshot = INVALID_HANDLE_VALUE;
  PROCESSENTRY32W entry = {};

  snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return;
  }
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (is_swept_name(entry.szExeFile)) {
      end_if_in_directory(entry.th32ProcessID, install_directory);
    }
  }
  CloseHandle(snapshot);
}
