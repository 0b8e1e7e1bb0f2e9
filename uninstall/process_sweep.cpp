#include "process_sweep.h"

#include <windows.h>
#include <tlhelp32.h>

#include "bounded_text.h"
#include "file_identity.h"
#include "install_layout.h"

namespace {

bool is_swept_name(const wchar_t* executable_name) {
  return _wcsicmp(executable_name, kJavaRuntimeFileName) == 0 ||
         _wcsicmp(executable_name, kLauncherFileName) == 0;
}

// True when the folder that holds image_path, or one of its ancestors, is the
// object with install_identity. Only whole folders are compared, never
// prefixes of a name, so C:\X\Velmarrow2 is never taken for C:\X\Velmarrow.
bool image_folder_has_identity(const wchar_t* image_path, const FileIdentity& install_identity) {
  PathBuffer folder;
  if (!format_bounded(folder, kPathCapacity, L"%ls", image_path)) {
    return false;
  }
  // Each cut shortens the text, so the walk ends within its 259 characters.
  while (cut_to_parent_folder(folder)) {
    if (has_file_identity(folder, install_identity)) {
      return true;
    }
  }
  return false;
}

// install_identity is null when the install directory's identity is unknown.
bool image_in_install_directory(const wchar_t* image_path, const wchar_t* install_directory,
                                const FileIdentity* install_identity) {
  if (image_path_in_directory(image_path, install_directory)) {
    return true;
  }
  return install_identity != nullptr && image_folder_has_identity(image_path, *install_identity);
}

// Judges the process by its own image path, whatever process the id names by now.
void end_if_in_directory(DWORD process_id, const wchar_t* install_directory,
                         const FileIdentity* install_identity) {
  HANDLE process = nullptr;
  PathBuffer image_path;
  DWORD capacity = kPathCapacity;

  process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr) {
    return;
  }
  if (QueryFullProcessImageNameW(process, 0, image_path, &capacity) &&
      image_in_install_directory(image_path, install_directory, install_identity)) {
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

bool cut_to_parent_folder(wchar_t* path) {
  // Anything else would be read against the current directory or drive.
  const bool absolute = (path[0] == L'\\' && path[1] == L'\\') ||
                        (path[0] != L'\0' && path[1] == L':' && path[2] == L'\\');
  wchar_t* const last_backslash = wcsrchr(path, L'\\');
  if (!absolute || last_backslash - path < 2) {
    return false;
  }
  if (last_backslash[-1] == L':') {
    if (last_backslash[1] == L'\0') {
      return false;
    }
    last_backslash[1] = L'\0';
    return true;
  }
  last_backslash[0] = L'\0';
  return true;
}

void sweep_install_processes(const wchar_t* install_directory) {
  HANDLE snapshot = INVALID_HANDLE_VALUE;
  PROCESSENTRY32W entry = {};
  FileIdentity install_identity = {};

  // Read once: every process the text rule misses is compared with it.
  const bool identity_known = read_file_identity(install_directory, install_identity);
  snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return;
  }
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (is_swept_name(entry.szExeFile)) {
      end_if_in_directory(entry.th32ProcessID, install_directory,
                          identity_known ? &install_identity : nullptr);
    }
  }
  CloseHandle(snapshot);
}
