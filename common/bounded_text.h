// Formatting and appending that can never run past a buffer.
#pragma once

#include <stddef.h>
#include <wchar.h>

// swprintf-style formatting (%ls takes a wide string) into a buffer of
// capacity characters. Returns false, leaving the buffer empty, when the text
// would take capacity characters or more: a cut text is never handed on.
bool format_bounded(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);

// Appends addition to text, copying at most limit minus the current length
// characters, then terminates; text must have room for limit + 1 characters.
// The text never grows past limit; what does not fit is dropped silently.
void append_bounded(wchar_t* text, size_t limit, const wchar_t* addition);
