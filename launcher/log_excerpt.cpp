#include "log_excerpt.h"

#include <windows.h>

#include "failure_message.h"

bool decode_log_excerpt(char* raw, size_t count, wchar_t* decoded) {
  raw[count] = '\0';
  // Only a read that filled the excerpt can have cut a character in two; a
  // shorter log that ends mid-character is simply not UTF-8.
  const size_t utf8_count =
      count == kLogExcerptBytes ? utf8_length_without_cut_sequence(raw, count) : count;
  const char kept = raw[utf8_count];
  raw[utf8_count] = '\0';
  int produced = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, raw, -1, decoded,
                                     static_cast<int>(kDecodedExcerptCapacity));
  raw[utf8_count] = kept;
  if (produced <= 0) {
    produced = MultiByteToWideChar(CP_ACP, 0, raw, -1, decoded,
                                   static_cast<int>(kDecodedExcerptCapacity));
  }
  if (produced <= 0) {
    decoded[0] = L'\0';
    return false;
  }
  return true;
}

bool read_log_excerpt(const wchar_t* path, wchar_t* decoded) {
  HANDLE file = INVALID_HANDLE_VALUE;
  char raw[kLogExcerptBytes + 1];
  DWORD bytes_read = 0;

  file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  const BOOL read_ok = ReadFile(file, raw, kLogExcerptBytes, &bytes_read, nullptr);
  CloseHandle(file);
  if (!read_ok || bytes_read == 0) {
    return false;
  }
  return decode_log_excerpt(raw, bytes_read, decoded);
}
