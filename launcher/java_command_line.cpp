#include "java_command_line.h"

#include "bounded_text.h"

namespace {

constexpr const wchar_t* kFixedCommandLineFormat =
    L"\"%ls\" -Dskiko.library.path=\"%ls\" -Dcompose.application.resources.dir=\"%ls\\resources\" "
    L"-Dcompose.application.configure.swing.globals=true -Djpackage.app-version=1.0.1 "
    L"-cp \"%ls\\lib\\*\" com.tarnwick.velmarrow.desktop.MainKt";

void append_repeated(wchar_t* text, size_t& length, size_t limit, wchar_t character, size_t count) {
  while (count > 0 && length < limit) {
    text[length++] = character;
    --count;
  }
  text[length] = L'\0';
}

}  // namespace

void append_quoted_argument(wchar_t* text, size_t& length, size_t limit, const wchar_t* argument) {
  append_repeated(text, length, limit, L' ', 1);
  append_repeated(text, length, limit, L'"', 1);
  size_t backslashes = 0;
  for (const wchar_t* cursor = argument; *cursor != L'\0'; ++cursor) {
    if (*cursor == L'\\') {
      ++backslashes;
      continue;
    }
    if (*cursor == L'"') {
      // Every backslash before a quote needs its own escape, and so does the quote.
      append_repeated(text, length, limit, L'\\', 2 * backslashes + 1);
    } else {
      append_repeated(text, length, limit, L'\\', backslashes);
    }
    backslashes = 0;
    append_repeated(text, length, limit, *cursor, 1);
  }
  // Trailing backslashes would otherwise escape the closing quote.
  append_repeated(text, length, limit, L'\\', 2 * backslashes);
  append_repeated(text, length, limit, L'"', 1);
}

bool compose_java_command_line(wchar_t* buffer, const wchar_t* runtime_path,
                               const wchar_t* install_directory,
                               const wchar_t* const* arguments, int count) {
  if (!format_bounded(buffer, kJavaCommandLineLimit + 1, kFixedCommandLineFormat, runtime_path,
                      install_directory, install_directory, install_directory)) {
    return false;
  }
  if (arguments == nullptr) {
    return true;
  }
  size_t length = wcslen(buffer);
  for (int index = 1; index < count; ++index) {
    append_quoted_argument(buffer, length, kJavaCommandLineLimit, arguments[index]);
  }
  return true;
}
