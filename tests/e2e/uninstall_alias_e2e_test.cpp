// The real uninstall.exe, started through one name of its folder, against the
// installation's processes started through another: two extra drive letters
// that the test run makes (tests/with-drive-letters.sh), as subst or a mapped
// drive does on Windows. One names the folder that holds the installation,
// the other the install directory itself, so that one process's image lies
// below the install directory's other name and the other's directly in a
// drive's root.
//
// Wine reports volume serial 0 for a drive letter made while its mount
// manager runs; both names of a folder still agree on serial and index, which
// is what Windows guarantees too.
#include <gtest/gtest.h>
#include <windows.h>

#include "harness.h"

namespace {

using namespace e2e;

Started start_image(const std::wstring& image) {
  return start(image, L"\"" + image + L"\"");
}

TEST(UninstallerUnderAnotherName, EndsTheInstallationsProcessesStartedThroughAnotherDriveLetter) {
  const std::wstring folder = environment_variable(L"VELMARROW_ALIAS_FOLDER");
  const std::wstring folder_drive = environment_variable(L"VELMARROW_ALIAS_DRIVE");
  const std::wstring install_drive = environment_variable(L"VELMARROW_INSTALL_DRIVE");
  ASSERT_FALSE(folder.empty() || folder_drive.empty() || install_drive.empty())
      << "run through tests/with-drive-letters.sh";
  const std::wstring install = folder + L"\\Velmarrow";
  const std::wstring sibling = folder + L"\\Velmarrow2";
  lay_out_installation(install);
  lay_out_installation(sibling);
  copy_program(L"standin.exe", install + L"\\velmarrow.exe");
  copy_program(L"standin.exe", sibling + L"\\velmarrow.exe");
  ASSERT_TRUE(path_exists(folder_drive + L"\\Velmarrow\\velmarrow.exe"));
  ASSERT_TRUE(path_exists(install_drive + L"\\velmarrow.exe"));

  tell_standin({L"", L"", L"", L"60000", L""});
  Started java = start_image(folder_drive + L"\\Velmarrow\\runtime\\bin\\javaw.exe");
  Started launcher = start_image(install_drive + L"\\velmarrow.exe");
  Started sibling_java = start_image(folder_drive + L"\\Velmarrow2\\runtime\\bin\\javaw.exe");
  Started sibling_launcher = start_image(folder_drive + L"\\Velmarrow2\\velmarrow.exe");
  tell_standin({});
  for (const Started* started : {&java, &launcher, &sibling_java, &sibling_launcher}) {
    ASSERT_TRUE(process_running(started->pid));
  }

  const Outcome outcome = run_to_exit(install + L"\\uninstall.exe", L"uninstall.exe /S");
  EXPECT_EQ(outcome.exit_code, 0u);
  // Ended by the sweep: exit code 0 at once, not the stand-in's 60 s sleep.
  EXPECT_EQ(wait_for_exit(java, 5000), 0u);
  EXPECT_EQ(wait_for_exit(launcher, 5000), 0u);
  EXPECT_TRUE(process_running(sibling_java.pid));
  EXPECT_TRUE(process_running(sibling_launcher.pid));
  EXPECT_TRUE(wait_until_gone(install, 10000));
  EXPECT_TRUE(path_exists(sibling + L"\\velmarrow.exe"));

  wait_for_exit(sibling_java, 0);
  wait_for_exit(sibling_launcher, 0);
}

}  // namespace
