#include "run_uninstall.h"

#include <windows.h>

#include "command_tail.h"
#include "footprint.h"
#include "install_check.h"
#include "install_layout.h"
#include "process_sweep.h"

namespace {

constexpr const wchar_t* kNotInstalledText = L"Library by Velmarrow could not find its installed files.";
constexpr const wchar_t* kConfirmText = L"Uninstall Library by Velmarrow from this PC?";
constexpr const wchar_t* kRemovedText = L"Library by Velmarrow has been removed from this PC.";
// Lets the ended processes go before their files are touched.
constexpr DWORD kPauseAfterSweepMilliseconds = 400;

}  // namespace

int run_uninstall(const wchar_t* tail) {
  PathBuffer module_path;
  PathBuffer install_directory;
  const bool silent = is_silent_command_tail(tail);

  const DWORD module_length = GetModuleFileNameW(nullptr, module_path, kPathCapacity);
  if (!install_directory_from_reported_module_path(module_path, module_length, install_directory)) {
    return 1;
  }
  if (!verify_install_directory(install_directory)) {
    if (!silent) {
      MessageBoxW(nullptr, kNotInstalledText, kDisplayName, MB_ICONERROR);
    }
    return 1;
  }
  if (!silent &&
      MessageBoxW(nullptr, kConfirmText, kDisplayName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
          IDYES) {
    return 0;
  }

  sweep_install_processes(install_directory);
  Sleep(kPauseAfterSweepMilliseconds);
  delete_start_menu_shortcut();
  delete_registration_key();
  // Shown before the removal starts, so the directory is whole while it is open.
  if (!silent) {
    MessageBoxW(nullptr, kRemovedText, kDisplayName, MB_OK);
  }
  schedule_directory_removal(install_directory);
  return 0;
}
