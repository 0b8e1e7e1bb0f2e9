#include "forwarded_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "argument_presence.h"
#include "system_function.h"

wchar_t** parse_forwarded_arguments(const wchar_t* command_line, int* count) {
  *count = 0;
  // Most starts (the Start Menu shortcut) pass nothing: they need not pay for
  // loading shell32 and all it pulls in.
  if (!command_line_has_arguments(command_line)) {
    return nullptr;
  }
  const auto parse = system_function_as<decltype(&CommandLineToArgvW)>(
      load_system_function(L"shell32.dll", "CommandLineToArgvW"));
  if (parse == nullptr) {
    return nullptr;
  }
  wchar_t** arguments = parse(command_line, count);
  if (arguments == nullptr) {
    *count = 0;
  }
  return arguments;
}
