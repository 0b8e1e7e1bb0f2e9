#include "launch_application.h"

#include <stdlib.h>
#include <windows.h>

#include "failure_dialog.h"
#include "forwarded_arguments.h"
#include "handle_list_attribute.h"
#include "inherited_handles.h"
#include "install_layout.h"
#include "java_command_line.h"
#include "launch_messages.h"

namespace {

constexpr DWORD kStartWatchMilliseconds = 4000;

}  // namespace

int launch_application() {
  PathBuffer module_path;
  PathBuffer install_directory;
  PathBuffer runtime_path;
  PathBuffer log_path;
  wchar_t* command_line = nullptr;
  wchar_t** arguments = nullptr;
  int argument_count = 0;
  HANDLE log = INVALID_HANDLE_VALUE;
  HANDLE standard_input = nullptr;
  HANDLE inherited[kInheritedHandlesCapacity] = {};
  LPPROC_THREAD_ATTRIBUTE_LIST inheritance = nullptr;
  SECURITY_ATTRIBUTES inheritable = {};
  STARTUPINFOEXW startup = {};
  PROCESS_INFORMATION process = {};

  const DWORD module_length = GetModuleFileNameW(nullptr, module_path, kPathCapacity);
  if (!install_directory_from_reported_module_path(module_path, module_length, install_directory)) {
    return 1;
  }
  if (!compose_install_path(runtime_path, kJavaRuntimePathFormat, install_directory) ||
      !compose_install_path(log_path, kStartLogPathFormat, install_directory)) {
    return 1;
  }
  if (GetFileAttributesW(runtime_path) == INVALID_FILE_ATTRIBUTES) {
    show_failure_dialog(kRuntimeMissingText, nullptr);
    return 1;
  }

  command_line = static_cast<wchar_t*>(calloc(kJavaCommandLineCapacity, sizeof(wchar_t)));
  if (command_line == nullptr) {
    return 1;
  }
  arguments = parse_forwarded_arguments(GetCommandLineW(), &argument_count);
  const bool composed = compose_java_command_line(command_line, runtime_path, install_directory,
                                                  arguments, argument_count);
  if (arguments != nullptr) {
    LocalFree(arguments);
  }
  if (!composed) {
    free(command_line);
    show_failure_dialog(kCouldNotStartText, nullptr);
    return 1;
  }

  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  // Share read only, so a second launch while the app runs leaves this log alone.
  log = CreateFileW(log_path, GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool log_created = log != INVALID_HANDLE_VALUE;

  // Only the log and the standard input are inherited: any other inheritable
  // handle, such as a caller's output pipe, would be held open for as long as
  // the application runs. Without the list nothing is inherited, as without a
  // log, never everything.
  standard_input = GetStdHandle(STD_INPUT_HANDLE);
  const size_t inherited_count = choose_inherited_handles(
      log, standard_input, handle_is_inheritable(standard_input), inherited);
  inheritance = create_handle_list_attribute(inherited, inherited_count);
  const bool redirected = inheritance != nullptr;

  startup.StartupInfo.cb = sizeof(startup.StartupInfo);
  if (redirected) {
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = standard_input;
    startup.StartupInfo.hStdOutput = log;
    startup.StartupInfo.hStdError = log;
    startup.lpAttributeList = inheritance;
  }
  const BOOL created = CreateProcessW(
      runtime_path, command_line, nullptr, nullptr, redirected ? TRUE : FALSE,
      redirected ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr, install_directory,
      &startup.StartupInfo, &process);
  const DWORD create_error = created ? ERROR_SUCCESS : GetLastError();
  release_handle_list_attribute(inheritance);
  if (log_created) {
    CloseHandle(log);
  }
  free(command_line);
  if (!created) {
    show_failure_dialog(process_start_failure_text(create_error), nullptr);
    return 1;
  }

  // Returns as soon as the process ends, so an early exit is reported at once.
  const DWORD wait_result = WaitForSingleObject(process.hProcess, kStartWatchMilliseconds);
  DWORD exit_code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  // An ended process is a failed start even when its exit code happens to be
  // 259; only a failed wait falls back on the exit code.
  const bool ended = wait_result == WAIT_OBJECT_0 ||
                     (wait_result != WAIT_TIMEOUT && exit_code != STILL_ACTIVE);
  if (!ended) {
    return 0;
  }
  // Without its output in the log this launch has nothing to quote: the file
  // on disk then belongs to another process, or holds nothing of this one.
  show_failure_dialog(kClosedEarlyText, redirected ? log_path : nullptr);
  return 1;
}
