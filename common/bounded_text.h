// Formatting and appending that can never run past a buffer.
#pragma once

#include <stddef.h>
#include <stdio.h>
#include <wchar.h>

// Judges what the runtime's bounded formatter wrote into buffer: true when
// the whole text and its terminator fit; otherwise buffer is emptied and the
// result is false. msvcrt returns the count, unterminated, when the text
// exactly fills the buffer, and a negative value when it is longer: both are
// a text too long.
bool accept_bounded_format(wchar_t* buffer, size_t capacity, int written);

// swprintf-style formatting (%ls takes a wide string) into a buffer of
// capacity characters. Returns false, leaving the buffer empty, when the text
// would take capacity characters or more: a cut text is never handed on.
template <typename... Arguments>
bool format_bounded(wchar_t* buffer, size_t capacity, const wchar_t* format, Arguments... arguments) {
  if (buffer == nullptr || capacity == 0) {
    return false;
  }
  return accept_bounded_format(buffer, capacity, _snwprintf(buffer, capacity, format, arguments...));
}

// Appends addition to text, copying at most limit minus the current length
// characters, then terminates; text must have room for limit + 1 characters.
// The text never grows past limit; what does not fit is dropped silently.
void append_bounded(wchar_t* text, size_t limit, const wchar_t* addition);
