#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <stdlib.h>
#include <string>
#include <vector>

#include "java_command_line.h"

namespace {

const wchar_t* const kMainClass = L"com.tarnwick.velmarrow.desktop.MainKt";

std::wstring fixed_part(const std::wstring& dir) {
  return L"\"" + dir + L"\\runtime\\bin\\javaw.exe\" -Dskiko.library.path=\"" + dir +
         L"\" -Dcompose.application.resources.dir=\"" + dir +
         L"\\resources\" -Dcompose.application.configure.swing.globals=true "
         L"-Djpackage.app-version=1.0.1 -cp \"" +
         dir + L"\\lib\\*\" " + kMainClass;
}

// A heap buffer of the size the launcher uses, filled with garbage so a
// missing terminator shows.
struct CommandLine {
  std::vector<wchar_t> buffer = std::vector<wchar_t>(kJavaCommandLineCapacity, L'#');
  bool composed = false;
  std::wstring text() const { return buffer.data(); }
};

CommandLine compose(const std::wstring& dir, std::vector<const wchar_t*> args) {
  CommandLine line;
  const std::wstring runtime = dir + L"\\runtime\\bin\\javaw.exe";
  args.insert(args.begin(), L"velmarrow.exe");
  line.composed = compose_java_command_line(line.buffer.data(), runtime.c_str(), dir.c_str(),
                                            args.data(), static_cast<int>(args.size()));
  return line;
}

std::vector<std::wstring> parse(const std::wstring& command_line) {
  int count = 0;
  wchar_t** list = CommandLineToArgvW(command_line.c_str(), &count);
  std::vector<std::wstring> out;
  for (int i = 0; i < count; ++i) out.push_back(list[i]);
  LocalFree(list);
  return out;
}

TEST(JavaCommandLine, MatchesTheDocumentedExample) {
  const CommandLine line = compose(L"C:\\X\\Velmarrow", {});
  ASSERT_TRUE(line.composed);
  EXPECT_EQ(line.text(),
            L"\"C:\\X\\Velmarrow\\runtime\\bin\\javaw.exe\" "
            L"-Dskiko.library.path=\"C:\\X\\Velmarrow\" "
            L"-Dcompose.application.resources.dir=\"C:\\X\\Velmarrow\\resources\" "
            L"-Dcompose.application.configure.swing.globals=true "
            L"-Djpackage.app-version=1.0.1 -cp \"C:\\X\\Velmarrow\\lib\\*\" "
            L"com.tarnwick.velmarrow.desktop.MainKt");
  EXPECT_EQ(line.text().size(), 284u);
}

TEST(JavaCommandLine, PathsWithSpacesAndNonAsciiLettersStayWhole) {
  const std::wstring dir = L"C:\\Users\\Zoë Ångström\\AppData\\Local\\Velmarrow";
  const CommandLine line = compose(dir, {});
  ASSERT_TRUE(line.composed);
  EXPECT_EQ(line.text(), fixed_part(dir));
  const std::vector<std::wstring> parsed = parse(line.text());
  ASSERT_EQ(parsed.size(), 8u);
  EXPECT_EQ(parsed[0], dir + L"\\runtime\\bin\\javaw.exe");
  EXPECT_EQ(parsed[1], L"-Dskiko.library.path=" + dir);
  EXPECT_EQ(parsed[6], dir + L"\\lib\\*");
}

TEST(JavaCommandLine, PlainArgumentsAreQuotedAsTheyAre) {
  const CommandLine line = compose(L"C:\\X\\Velmarrow", {L"a", L"b", L"c", L"two words", L""});
  ASSERT_TRUE(line.composed);
  EXPECT_EQ(line.text(), fixed_part(L"C:\\X\\Velmarrow") + L" \"a\" \"b\" \"c\" \"two words\" \"\"");
}

TEST(JavaCommandLine, AwkwardArgumentsComeBackUnchanged) {
  struct Case {
    const wchar_t* argument;
    const wchar_t* quoted;
  };
  const Case cases[] = {
      {L"x\"y", L"\"x\\\"y\""},
      {L"C:\\dir\\", L"\"C:\\dir\\\\\""},
      {L"a\\\"b", L"\"a\\\\\\\"b\""},
      {L"\\\\server\\share\\\\", L"\"\\\\server\\share\\\\\\\\\""},
      {L"\"", L"\"\\\"\""},
      {L"\\", L"\"\\\\\""},
      {L"a\\\\b", L"\"a\\\\b\""},
      {L"tab\there", L"\"tab\there\""},
      {L"--name=Zoë \"Z\" Ångström", L"\"--name=Zoë \\\"Z\\\" Ångström\""},
      {L"\"\"\"", L"\"\\\"\\\"\\\"\""},
  };
  for (const Case& c : cases) {
    const CommandLine line = compose(L"C:\\X\\Velmarrow", {c.argument});
    ASSERT_TRUE(line.composed);
    EXPECT_EQ(line.text(), fixed_part(L"C:\\X\\Velmarrow") + L" " + c.quoted) << c.argument;
    const std::vector<std::wstring> parsed = parse(line.text());
    ASSERT_EQ(parsed.size(), 9u) << c.argument;
    EXPECT_EQ(parsed[8], c.argument);
  }
  // All at once, so no argument runs into the next.
  std::vector<const wchar_t*> all;
  for (const Case& c : cases) all.push_back(c.argument);
  const std::vector<std::wstring> parsed = parse(compose(L"C:\\X\\Velmarrow", all).text());
  ASSERT_EQ(parsed.size(), 8u + all.size());
  for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(parsed[8 + i], all[i]);
}

TEST(JavaCommandLine, ForwardedArgumentsAreCutAt32766Characters) {
  const std::wstring dir = L"C:\\X\\Velmarrow";
  const std::wstring big(20000, L'a');
  const CommandLine line = compose(dir, {big.c_str(), big.c_str(), L"never"});
  ASSERT_TRUE(line.composed);
  const std::wstring text = line.text();
  ASSERT_EQ(text.size(), 32766u);
  // The second argument loses its end and its closing quote; the third is gone.
  EXPECT_EQ(text, (fixed_part(dir) + L" \"" + big + L"\" \"" + big).substr(0, 32766));
  EXPECT_EQ(line.buffer[32766], L'\0');
}

// CreateProcessW refuses a command line of 32767 characters (its limit counts
// the terminator), so 32766 is the last length that starts. Wine does not
// enforce the limit, so only the composed text shows it. The argument ends in
// characters that need escaping: with its space and quotes it is
// ` "aa...x\"y\\"`, 9 characters more than its filler.
TEST(JavaCommandLine, TextStopsAt32766Characters) {
  const std::wstring dir = L"C:\\X\\Velmarrow";
  const size_t fixed = fixed_part(dir).size();
  struct Case {
    size_t full_length;  // the whole quoted text, were nothing cut
    bool with_next;      // another argument after it
    size_t length;
  };
  const Case cases[] = {
      {32765, false, 32765},
      {32766, false, 32766},
      {32766, true, 32766},   // the next argument adds not even its space
      {32767, false, 32766},  // the closing quote goes
      {32768, false, 32766},  // the cut splits the escaped backslash pair
  };
  for (const Case& c : cases) {
    const std::wstring filler(c.full_length - fixed - 9, L'a');
    const std::wstring argument = filler + L"x\"y\\";
    const std::wstring quoted = L" \"" + filler + L"x\\\"y\\\\\"";
    ASSERT_EQ(fixed + quoted.size(), c.full_length);
    std::vector<const wchar_t*> args = {argument.c_str()};
    if (c.with_next) args.push_back(L"next");
    const CommandLine line = compose(dir, args);
    ASSERT_TRUE(line.composed);
    const std::wstring text = line.text();
    EXPECT_EQ(text.size(), c.length) << c.full_length;
    EXPECT_EQ(text, (fixed_part(dir) + quoted).substr(0, c.length)) << c.full_length;
    if (c.length == c.full_length) {
      const std::vector<std::wstring> parsed = parse(text);
      ASSERT_EQ(parsed.size(), 9u) << c.full_length;
      EXPECT_EQ(parsed[8], argument) << c.full_length;
    }
  }
}

TEST(JavaCommandLine, NoListForwardsNothing) {
  std::vector<wchar_t> buffer(kJavaCommandLineCapacity, L'#');
  ASSERT_TRUE(compose_java_command_line(buffer.data(), L"C:\\X\\Velmarrow\\runtime\\bin\\javaw.exe",
                                        L"C:\\X\\Velmarrow", nullptr, 3));
  EXPECT_EQ(std::wstring(buffer.data()), fixed_part(L"C:\\X\\Velmarrow"));
}

}  // namespace
