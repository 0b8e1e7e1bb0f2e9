#include "argument_presence.h"

namespace {

bool is_blank(wchar_t character) { return character == L' ' || character == L'\t'; }

}  // namespace

bool command_line_has_arguments(const wchar_t* command_line) {
  if (command_line == nullptr) {
    return false;
  }
  const wchar_t* cursor = command_line;
  if (*cursor == L'"') {
    // No escapes in the program name: the next quote ends it, whatever precedes it.
    ++cursor;
    while (*cursor != L'\0' && *cursor != L'"') {
      ++cursor;
    }
    if (*cursor == L'"') {
      ++cursor;
    }
  } else {
    while (*cursor != L'\0' && !is_blank(*cursor)) {
      ++cursor;
    }
  }
  while (is_blank(*cursor)) {
    ++cursor;
  }
  return *cursor != L'\0';
}
