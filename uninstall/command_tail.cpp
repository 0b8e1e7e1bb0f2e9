#include "command_tail.h"

const wchar_t* command_tail(const wchar_t* command_line) {
  if (command_line == nullptr) {
    return L"";
  }
  const wchar_t* cursor = command_line;
  bool inside_quotes = false;
  while (*cursor != L'\0' && (*cursor > L' ' || inside_quotes)) {
    if (*cursor == L'"') {
      inside_quotes = !inside_quotes;
    }
    ++cursor;
  }
  while (*cursor != L'\0' && *cursor <= L' ') {
    ++cursor;
  }
  return cursor;
}

bool is_silent_command_tail(const wchar_t* tail) {
  if (tail == nullptr) {
    return false;
  }
  // "/S" also catches "/SILENT" and "/Silent".
  return wcsstr(tail, L"/S") != nullptr || wcsstr(tail, L"/silent") != nullptr;
}
