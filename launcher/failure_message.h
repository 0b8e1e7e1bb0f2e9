// The text of the launcher's error box.
#pragma once

#include <stddef.h>
#include <wchar.h>

constexpr size_t kFailureMessageCapacity = 1600;
constexpr size_t kFailureMessageLimit = kFailureMessageCapacity - 1;
constexpr size_t kFailureBaseTextLimit = 600;

// Writes into message (kFailureMessageCapacity characters) at most the first
// 600 characters of base_text, then, when excerpt is not null, a blank line
// and the excerpt, cut so that the text never passes 1599 characters.
// Calls nothing of the platform.
void compose_failure_message(wchar_t* message, const wchar_t* base_text, const wchar_t* excerpt);

// The number of leading bytes of bytes[0..count) that remain once an
// incomplete UTF-8 sequence at the very end is dropped (at most 3 bytes go).
// Anything that is not such a cut sequence is left for the decoder to judge,
// so count comes back unchanged. Calls nothing of the platform.
size_t utf8_length_without_cut_sequence(const char* bytes, size_t count);
