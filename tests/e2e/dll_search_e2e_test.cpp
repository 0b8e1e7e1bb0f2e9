// A uxtheme.dll planted in the install directory must never run inside the
// programs. A message box makes the system libraries load uxtheme.dll by bare
// name, and the default search looks in the program's own folder before the
// system folder. Wine would take its built-in copy anyway; this suite runs
// with uxtheme=n,b in WINEDLLOVERRIDES, so that Wine, as Windows does, loads
// the first uxtheme.dll on the search path. The control, a program of the
// test's own with the default search, shows that the planted library is found
// and run in this very set-up.
#include <gtest/gtest.h>
#include <windows.h>

#include "harness.h"

namespace {

using namespace e2e;

struct PlantedCase {
  const char* name;
  const wchar_t* program;
  const wchar_t* command_line;
  int answer;
  std::wstring box;
  DWORD exit_code;
  bool library_runs;
};

void PrintTo(const PlantedCase& planted_case, std::ostream* out) { *out << planted_case.name; }

class PlantedLibrary : public testing::TestWithParam<PlantedCase> {
 protected:
  void SetUp() override {
    root_ = new_temp_root();
    install_ = root_ + L"\\Velmarrow";
    // No runtime: the launcher's first box is then the one for missing files.
    lay_out_installation(install_, false);
    ASSERT_TRUE(copy_program(L"planted\\uxtheme.dll", install_ + L"\\uxtheme.dll"));
    ASSERT_TRUE(copy_program(L"box_without_fix.exe", install_ + L"\\box_without_fix.exe"));
  }
  void TearDown() override { remove_tree(root_); }

  std::wstring root_;
  std::wstring install_;
};

TEST_P(PlantedLibrary, RunsOnlyInAProgramWithTheDefaultSearch) {
  const PlantedCase& planted = GetParam();
  const std::wstring marker = install_ + L"\\uxtheme-loaded.txt";
  const Outcome outcome = run_to_exit(install_ + L"\\" + planted.program, planted.command_line, planted.answer);
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], planted.box);
  EXPECT_EQ(outcome.exit_code, planted.exit_code);
  if (planted.library_runs) {
    EXPECT_TRUE(path_exists(marker)) << "the planted library did not run without the fix either: "
                                        "is uxtheme=n,b in WINEDLLOVERRIDES?";
  } else {
    EXPECT_FALSE(path_exists(marker)) << "the planted library ran in " << read_file(marker);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, PlantedLibrary,
    testing::Values(
        PlantedCase{"Control", L"box_without_fix.exe", L"box_without_fix.exe", IDOK,
                    L"A box without a restricted DLL search.", 0, true},
        PlantedCase{"LauncherRuntimeMissing", L"velmarrow.exe", L"velmarrow.exe", IDOK,
                    L"The app files are incomplete. Install Library by Velmarrow again.", 1, false},
        PlantedCase{"UninstallerQuestion", L"uninstall.exe", L"uninstall.exe", IDNO,
                    L"Uninstall Library by Velmarrow from this PC?", 0, false}),
    [](const testing::TestParamInfo<PlantedCase>& info) { return std::string(info.param.name); });

}  // namespace
