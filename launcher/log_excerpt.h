// The beginning of the start log, decoded for the error box.
#pragma once

#include <stddef.h>
#include <wchar.h>

constexpr size_t kLogExcerptBytes = 699;
constexpr size_t kDecodedExcerptCapacity = 700;

// Decodes raw[0..count), count at most 699, into decoded (700 characters) as
// text ending at its first zero byte: as UTF-8 when the bytes are valid UTF-8
// (a sequence cut by the 699-byte read is dropped first), otherwise in the ANSI
// code page. raw needs room for count + 1 bytes and is given back unchanged but
// for the terminator at raw[count]. Returns false, decoded empty, when neither
// decoding yields any character.
bool decode_log_excerpt(char* raw, size_t count, wchar_t* decoded);

// Reads at most the first 699 bytes of the file at path and decodes them as
// decode_log_excerpt does. Returns false when the file cannot be opened or
// read, is empty, or decodes to nothing; the file is closed on every path.
bool read_log_excerpt(const wchar_t* path, wchar_t* decoded);
