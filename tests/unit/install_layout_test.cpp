#include <gtest/gtest.h>

#include <string>

#include "bounded_text.h"
#include "install_layout.h"

namespace {

TEST(InstallDirectory, IsTheModulePathCutAtItsLastBackslash) {
  struct Case {
    const wchar_t* module_path;
    bool derived;
    const wchar_t* directory;
  };
  const Case cases[] = {
      {L"D:\\Apps\\Velmarrow\\velmarrow.exe", true, L"D:\\Apps\\Velmarrow"},
      {L"D:\\velmarrow.exe", true, L"D:"},
      {L"velmarrow.exe", false, L""},
      {L"", false, L""},
      {L"\\\\server\\share\\Velmarrow\\uninstall.exe", true, L"\\\\server\\share\\Velmarrow"},
  };
  for (const Case& c : cases) {
    PathBuffer out;
    wcscpy(out, L"stale");
    EXPECT_EQ(install_directory_from_module_path(c.module_path, out), c.derived) << c.module_path;
    EXPECT_STREQ(out, c.directory) << c.module_path;
  }
}

// GetModuleFileNameW reports 260 when it had to cut the path to fit.
TEST(InstallDirectory, OwnPathMustBeReportedWhole) {
  const std::wstring whole = L"C:\\" + std::wstring(232, L'd') + L"\\Velmarrow\\uninstall.exe";
  ASSERT_EQ(whole.size(), 259u);
  PathBuffer out;
  EXPECT_TRUE(install_directory_from_reported_module_path(whole.c_str(), 259, out));
  EXPECT_EQ(std::wstring(out), whole.substr(0, 245));
  const std::wstring cut = L"C:\\" + std::wstring(232, L'd') + L"\\Velmarrow\\uninstall.ex";
  EXPECT_FALSE(install_directory_from_reported_module_path(cut.c_str(), 260, out));
  EXPECT_STREQ(out, L"");
  EXPECT_FALSE(install_directory_from_reported_module_path(L"", 0, out));
  EXPECT_FALSE(install_directory_from_reported_module_path(L"uninstall.exe", 13, out));
}

TEST(InstallDirectory, DerivedPathsHaveTheirFixedNames) {
  PathBuffer runtime;
  PathBuffer log;
  PathBuffer launcher;
  ASSERT_TRUE(compose_install_path(runtime, kJavaRuntimePathFormat, L"D:\\Apps\\Velmarrow"));
  ASSERT_TRUE(compose_install_path(log, kStartLogPathFormat, L"D:\\Apps\\Velmarrow"));
  ASSERT_TRUE(compose_install_path(launcher, kLauncherPathFormat, L"D:\\Apps\\Velmarrow"));
  EXPECT_STREQ(runtime, L"D:\\Apps\\Velmarrow\\runtime\\bin\\javaw.exe");
  EXPECT_STREQ(log, L"D:\\Apps\\Velmarrow\\velmarrow-start.log");
  EXPECT_STREQ(launcher, L"D:\\Apps\\Velmarrow\\velmarrow.exe");
}

// The runtime path adds 22 characters, the launcher path 14, the shortcut 63:
// a path of 259 characters composes, one of 260 must not.
TEST(InstallDirectory, PathsComposeUpTo259Characters) {
  struct Case {
    const wchar_t* format;
    size_t longest_input;
  };
  const Case cases[] = {
      {kJavaRuntimePathFormat, 237},
      {kStartLogPathFormat, 239},
      {kLauncherPathFormat, 245},
      {kShortcutPathFormat, 196},
  };
  for (const Case& c : cases) {
    const std::wstring fits(c.longest_input, L'a');
    const std::wstring too_long(c.longest_input + 1, L'a');
    PathBuffer out;
    EXPECT_TRUE(compose_install_path(out, c.format, fits.c_str())) << c.format;
    EXPECT_EQ(wcslen(out), 259u) << c.format;
    EXPECT_FALSE(compose_install_path(out, c.format, too_long.c_str())) << c.format;
    EXPECT_STREQ(out, L"") << c.format;
  }
}

TEST(BoundedFormat, ATextThatExactlyFillsTheBufferFails) {
  wchar_t buffer[8];
  EXPECT_TRUE(format_bounded(buffer, 8, L"%ls", L"1234567"));
  EXPECT_STREQ(buffer, L"1234567");
  // msvcrt leaves exactly 8 characters unterminated here.
  EXPECT_FALSE(format_bounded(buffer, 8, L"%ls", L"12345678"));
  EXPECT_STREQ(buffer, L"");
  EXPECT_FALSE(format_bounded(buffer, 8, L"%ls-%ls", L"12345", L"6789"));
  EXPECT_STREQ(buffer, L"");
}

TEST(BoundedAppend, NeverPassesTheLimit) {
  wchar_t text[8] = L"abc";
  append_bounded(text, 7, L"de");
  EXPECT_STREQ(text, L"abcde");
  append_bounded(text, 7, L"fghij");
  EXPECT_STREQ(text, L"abcdefg");
  append_bounded(text, 7, L"x");
  EXPECT_STREQ(text, L"abcdefg");
}

}  // namespace
