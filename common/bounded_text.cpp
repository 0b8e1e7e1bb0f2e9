#include "bounded_text.h"

#include <stdarg.h>
#include <stdio.h>

bool format_bounded(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
  if (buffer == nullptr || capacity == 0) {
    return false;
  }
  va_list arguments;
  va_start(arguments, format);
  // msvcrt returns the count, unterminated, when the text exactly fills the
  // buffer, and a negative value when it is longer: both count as too long.
  const int written = _vsnwprintf(buffer, capacity, format, arguments);
  va_end(arguments);
  if (written < 0 || static_cast<size_t>(written) >= capacity) {
    buffer[0] = L'\0';
    return false;
  }
  buffer[written] = L'\0';
  return true;
}

void append_bounded(wchar_t* text, size_t limit, const wchar_t* addition) {
  size_t length = wcslen(text);
  if (length >= limit) {
    return;
  }
  wcsncat(text, addition, limit - length);
}
