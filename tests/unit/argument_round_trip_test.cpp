// Random argument lists, composed into the Java command line and parsed back
// by Windows itself, must come back exactly.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <random>
#include <string>
#include <vector>

#include "java_command_line.h"

namespace {

// The characters that matter to the parsers, plus ordinary and non-ASCII ones
// (a surrogate pair among them).
const std::wstring kAlphabet[] = {L"\"", L"\\", L"\\\\", L" ", L"\t", L"a", L"Z", L"-",
                                  L"=", L"é", L"Ω", L"\U0001F600", L"%", L"^", L"&"};

std::wstring random_argument(std::mt19937& random) {
  std::uniform_int_distribution<int> length(0, 10);
  std::uniform_int_distribution<size_t> pick(0, std::size(kAlphabet) - 1);
  std::wstring argument;
  for (int i = length(random); i > 0; --i) argument += kAlphabet[pick(random)];
  return argument;
}

TEST(ArgumentRoundTrip, RandomListsComeBackUnchanged) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> count(0, 8);
  std::vector<wchar_t> buffer(kJavaCommandLineCapacity);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::wstring> arguments = {L"velmarrow.exe"};
    for (int i = count(random); i > 0; --i) arguments.push_back(random_argument(random));
    std::vector<const wchar_t*> list;
    for (const std::wstring& argument : arguments) list.push_back(argument.c_str());
    ASSERT_TRUE(compose_java_command_line(buffer.data(), L"C:\\X\\Velmarrow\\runtime\\bin\\javaw.exe",
                                          L"C:\\X\\Velmarrow", list.data(), static_cast<int>(list.size())));
    int parsed_count = 0;
    wchar_t** parsed = CommandLineToArgvW(buffer.data(), &parsed_count);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(static_cast<size_t>(parsed_count), 8 + arguments.size() - 1) << buffer.data();
    for (size_t i = 1; i < arguments.size(); ++i) {
      ASSERT_EQ(std::wstring(parsed[8 + i - 1]), arguments[i]) << "round " << round << ": " << buffer.data();
    }
    LocalFree(parsed);
  }
}

}  // namespace
