// Whether a command line holds an argument: the launcher loads the shell's
// parser only when it does, so this must agree with that parser exactly.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <random>
#include <string>

#include "argument_presence.h"

namespace {

struct PresenceCase {
  const wchar_t* command_line;
  bool has_arguments;
};

TEST(ArgumentPresence, AwkwardCommandLines) {
  const PresenceCase cases[] = {
      {L"velmarrow.exe", false},
      {L"", false},
      {L"velmarrow.exe   \t ", false},
      {L"\"C:\\Program Files\\Velmarrow\\velmarrow.exe\"", false},
      {L"\"C:\\Program Files\\Velmarrow\\velmarrow.exe\" \t", false},
      // An unclosed quote runs to the end: all of it is the program name.
      {L"\"C:\\Velmarrow\\velmarrow.exe a b", false},
      // A backslash escapes nothing in the name: the quote after it ends it.
      {L"\"C:\\dir\\\" x", true},
      {L"\"C:\\dir\\\"", false},
      {L"velmarrow.exe a", true},
      {L"velmarrow.exe\targ", true},
      {L"velmarrow.exe \"\"", true},
      // Text right after the closing quote is an argument of its own.
      {L"\"velmarrow.exe\"x", true},
      // Only spaces and tabs separate: other blanks are an argument.
      {L"velmarrow.exe \n", true},
      {L"velmarrow.exe\v", false},
      // A quote inside an unquoted name does not open anything.
      {L"velmar\"row.exe a\"", true},
      {L"velmar\"row .exe\"", true},
  };
  for (const PresenceCase& test_case : cases) {
    EXPECT_EQ(command_line_has_arguments(test_case.command_line), test_case.has_arguments)
        << "[" << testing::PrintToString(std::wstring(test_case.command_line)) << "]";
  }
  EXPECT_FALSE(command_line_has_arguments(nullptr));
}

// The characters that steer the parser's program-name rule, and a few others.
const wchar_t kAlphabet[] = {L'"', L'"', L' ', L' ', L'\t', L'\\', L'a', L'x', L'\n', L'\v', L'\u00e9'};

TEST(ArgumentPresence, AgreesWithTheShellParser) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<size_t> pick(0, std::size(kAlphabet) - 1);
  for (int round = 0; round < 5000; ++round) {
    std::wstring command_line;
    for (int i = length(random); i > 0; --i) command_line += kAlphabet[pick(random)];
    int count = 0;
    wchar_t** parsed = CommandLineToArgvW(command_line.c_str(), &count);
    ASSERT_NE(parsed, nullptr);
    LocalFree(parsed);
    ASSERT_EQ(command_line_has_arguments(command_line.c_str()), count > 1)
        << "round " << round << ": [" << testing::PrintToString(command_line) << "]";
  }
}

}  // namespace
