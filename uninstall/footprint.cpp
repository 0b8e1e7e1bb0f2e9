#include "footprint.h"

#include <windows.h>

#include "bounded_text.h"
#include "install_layout.h"

namespace {

// /d skips AutoRun commands. /v:off, because a user can turn delayed
// expansion on for every cmd in the registry, and cmd then expands !NAME!
// even inside quotes: the command would remove some other directory. The
// pings only delay the removal until the uninstaller, whose own file lies in
// the directory, has exited.
constexpr const wchar_t* kRemovalCommandFormat =
    L"\"%ls\\cmd.exe\" /d /v:off /c ping 127.0.0.1 -n 4 >nul & rmdir /s /q \"%ls\"";

}  // namespace

void delete_start_menu_shortcut() {
  PathBuffer app_data;
  PathBuffer shortcut_path;
  // A result of 260 or more is the size APPDATA would need: such a value
  // leaves no room for the shortcut path anyway.
  const DWORD length = GetEnvironmentVariableW(kAppDataVariable, app_data, kPathCapacity);
  if (length == 0 || length >= kPathCapacity) {
    return;
  }
  if (!compose_install_path(shortcut_path, kShortcutPathFormat, app_data)) {
    return;
  }
  DeleteFileW(shortcut_path);
}

void delete_registration_key() {
  RegDeleteKeyW(HKEY_CURRENT_USER, kRegistrationKey);
}

bool compose_removal_command(wchar_t* command, const wchar_t* system_directory,
                             const wchar_t* install_directory) {
  if (wcschr(install_directory, L'%') != nullptr) {
    command[0] = L'\0';
    return false;
  }
  return format_bounded(command, kRemovalCommandCapacity, kRemovalCommandFormat, system_directory,
                        install_directory);
}

void schedule_directory_removal(const wchar_t* install_directory) {
  PathBuffer system_directory;
  wchar_t command[kRemovalCommandCapacity];
  STARTUPINFOW startup = {};
  PROCESS_INFORMATION process = {};

  const UINT length = GetSystemDirectoryW(system_directory, kPathCapacity);
  if (length == 0 || length >= kPathCapacity) {
    return;
  }
  if (!compose_removal_command(command, system_directory, install_directory)) {
    return;
  }
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  if (CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     system_directory, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}
