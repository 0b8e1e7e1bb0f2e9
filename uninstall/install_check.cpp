#include "install_check.h"

#include <windows.h>

#include "install_layout.h"

bool has_install_folder_name(const wchar_t* install_directory) {
  const wchar_t* last_backslash = wcsrchr(install_directory, L'\\');
  const wchar_t* last_component = last_backslash != nullptr ? last_backslash + 1 : install_directory;
  return _wcsicmp(last_component, kInstallFolderName) == 0;
}

bool verify_install_directory(const wchar_t* install_directory) {
  PathBuffer launcher_path;
  if (!has_install_folder_name(install_directory)) {
    return false;
  }
  if (!compose_install_path(launcher_path, kLauncherPathFormat, install_directory)) {
    return false;
  }
  return GetFileAttributesW(launcher_path) != INVALID_FILE_ATTRIBUTES;
}
