#include "failure_message.h"

#include "bounded_text.h"

void compose_failure_message(wchar_t* message, const wchar_t* base_text, const wchar_t* excerpt) {
  wcsncpy(message, base_text, kFailureBaseTextLimit);
  message[kFailureBaseTextLimit] = L'\0';
  if (excerpt == nullptr) {
    return;
  }
  append_bounded(message, kFailureMessageLimit, L"\n\n");
  append_bounded(message, kFailureMessageLimit, excerpt);
}

namespace {

// How many bytes the sequence that this lead byte opens has; 0 for a byte
// that opens none.
size_t utf8_sequence_length(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) {
    return 2;
  }
  if ((lead & 0xF0) == 0xE0) {
    return 3;
  }
  if ((lead & 0xF8) == 0xF0) {
    return 4;
  }
  return 0;
}

}  // namespace

size_t utf8_length_without_cut_sequence(const char* bytes, size_t count) {
  size_t continuation_bytes = 0;
  while (continuation_bytes < 3 && continuation_bytes < count &&
         (static_cast<unsigned char>(bytes[count - 1 - continuation_bytes]) & 0xC0) == 0x80) {
    ++continuation_bytes;
  }
  if (continuation_bytes == count) {
    return count;
  }
  const size_t lead_index = count - 1 - continuation_bytes;
  const size_t needed = utf8_sequence_length(static_cast<unsigned char>(bytes[lead_index]));
  if (needed > continuation_bytes + 1) {
    return lead_index;
  }
  return count;
}
