#include "bounded_text.h"

bool accept_bounded_format(wchar_t* buffer, size_t capacity, int written) {
  if (written < 0 || static_cast<size_t>(written) >= capacity) {
    buffer[0] = L'\0';
    return false;
  }
  buffer[written] = L'\0';
  return true;
}

void append_bounded(wchar_t* text, size_t limit, const wchar_t* addition) {
  const size_t length = wcslen(text);
  if (length >= limit) {
    return;
  }
  wcsncat(text, addition, limit - length);
}
