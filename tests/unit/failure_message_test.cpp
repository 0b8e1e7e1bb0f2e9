#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "failure_message.h"
#include "launch_messages.h"
#include "log_excerpt.h"

namespace {

TEST(FailureMessage, BaseTextAloneOrWithABlankLineAndTheExcerpt) {
  wchar_t message[kFailureMessageCapacity];
  compose_failure_message(message, L"Library by Velmarrow could not start.", nullptr);
  EXPECT_STREQ(message, L"Library by Velmarrow could not start.");
  compose_failure_message(message, L"Base.", L"line 1\r\nline 2");
  EXPECT_STREQ(message, L"Base.\n\nline 1\r\nline 2");
  compose_failure_message(message, L"Base.", L"");
  EXPECT_STREQ(message, L"Base.\n\n");
}

TEST(FailureMessage, IsCutAt600BaseCharactersAnd1599InAll) {
  wchar_t message[kFailureMessageCapacity];
  const std::wstring base(700, L'b');
  const std::wstring excerpt(699, L'e');
  compose_failure_message(message, base.c_str(), excerpt.c_str());
  EXPECT_EQ(std::wstring(message), std::wstring(600, L'b') + L"\n\n" + excerpt);
  const std::wstring huge(1500, L'e');
  compose_failure_message(message, base.c_str(), huge.c_str());
  EXPECT_EQ(std::wstring(message), std::wstring(600, L'b') + L"\n\n" + std::wstring(997, L'e'));
}

TEST(Utf8Cut, DropsOnlyASequenceTheReadCutOff) {
  struct Case {
    const char* bytes;
    size_t kept;
  };
  const Case cases[] = {
      {"abc", 3},
      {"ab\xC3", 2},              // first byte of a 2-byte sequence
      {"ab\xC3\xA9", 4},          // complete é
      {"ab\xE2\x9C", 2},          // 2 of the 3 bytes of ✓
      {"ab\xE2\x9C\x93", 5},      // complete ✓
      {"ab\xF0\x9F\x98", 2},      // 3 of the 4 bytes of an emoji
      {"ab\xF0\x9F\x98\x80", 6},  // complete emoji
      {"ab\x80\x80\x80\x80", 6},  // stray continuation bytes: the decoder judges
      {"\x9C", 1},
      {"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_length_without_cut_sequence(c.bytes, strlen(c.bytes)), c.kept) << c.bytes;
  }
}

std::wstring decode(const std::string& bytes, bool* decoded_any = nullptr) {
  char raw[kLogExcerptBytes + 1];
  wchar_t out[kDecodedExcerptCapacity];
  if (bytes.size() > kLogExcerptBytes) return L"<more than one read>";
  memcpy(raw, bytes.data(), bytes.size());
  const bool ok = decode_log_excerpt(raw, bytes.size(), out);
  if (decoded_any != nullptr) *decoded_any = ok;
  return ok ? std::wstring(out) : std::wstring(L"<none>");
}

TEST(LogExcerpt, DecodesUtf8CutUtf8AndAnsi) {
  ASSERT_EQ(GetACP(), 1252u) << "the ANSI cases assume Western European";
  EXPECT_EQ(decode("Fehler: Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93"), L"Fehler: Grüße ✓");
  // A full excerpt that ends inside é: the half character goes, the rest is UTF-8.
  const std::string ascii(696, 'a');
  EXPECT_EQ(decode(ascii + "\xC3\xA9" "\xC3"), std::wstring(696, L'a') + L"é");
  EXPECT_EQ(decode(std::string(698, 'a') + "\xE2"), std::wstring(698, L'a'));
  // Windows-1252 bytes are no UTF-8.
  EXPECT_EQ(decode("Gr\xFC\xDF" "e"), L"Grüße");
  // A short log that ends mid-character is not UTF-8 either.
  EXPECT_EQ(decode("ab\xC3"), L"abÃ");
  // A zero byte ends the text.
  EXPECT_EQ(decode(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(decode(std::string("\0abc", 4)), L"");
}

TEST(LaunchMessages, MissingDllErrorsNameTheRuntime) {
  EXPECT_STREQ(process_start_failure_text(126),
               L"Windows is missing a library this app needs. Install the Microsoft Visual C++ "
               L"2015-2022 runtime, then open Library by Velmarrow again.");
  EXPECT_STREQ(process_start_failure_text(1157), process_start_failure_text(126));
  for (DWORD error : {0ul, 2ul, 5ul, 193ul, 125ul, 127ul, 1156ul}) {
    EXPECT_STREQ(process_start_failure_text(error), L"Library by Velmarrow could not start.")
        << error;
  }
}

}  // namespace
