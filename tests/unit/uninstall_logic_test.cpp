#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_tail.h"
#include "file_identity.h"
#include "footprint.h"
#include "install_check.h"
#include "process_sweep.h"

namespace {

TEST(CommandTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
  struct Case {
    const wchar_t* command_line;
    const wchar_t* tail;
  };
  const Case cases[] = {
      {L"uninstall.exe /S", L"/S"},
      {L"\"C:\\Program Files\\Velmarrow\\uninstall.exe\" /silent", L"/silent"},
      {L"\"C:\\a b\\uninstall.exe\"/S", L""},  // still the name: nothing ends it
      {L"C:\\a\" b\"c\\uninstall.exe  \t x /S", L"x /S"},
      {L"uninstall.exe", L""},
      {L"\"unterminated quote /S", L""},
      {L"uninstall.exe \x01\x1F /S ", L"/S "},
      {L"", L""},
      {L"   /S", L"/S"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(command_tail(c.command_line), c.tail) << c.command_line;
  }
  EXPECT_STREQ(command_tail(nullptr), L"");
}

TEST(CommandTail, SilentModeIsSlashSOrSlashSilentInExactCase) {
  struct Case {
    const wchar_t* tail;
    bool silent;
  };
  const Case cases[] = {
      {L"/S", true},      {L"/SILENT", true}, {L"/Silent", true}, {L"x/Sy", true},
      {L"/silent", true}, {L"a /silent b", true}, {L"/s", false}, {L"-silent", false},
      {L"/sILENT", false}, {L"", false},      {L"S", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_silent_command_tail(c.tail), c.silent) << c.tail;
  }
  EXPECT_FALSE(is_silent_command_tail(nullptr));
}

TEST(InstallCheck, LastComponentMustBeTheInstallFolderName) {
  EXPECT_TRUE(has_install_folder_name(L"C:\\X\\Velmarrow"));
  EXPECT_TRUE(has_install_folder_name(L"C:\\X\\velmarrow"));
  EXPECT_TRUE(has_install_folder_name(L"C:\\X\\VELMARROW"));
  EXPECT_TRUE(has_install_folder_name(L"Velmarrow"));
  EXPECT_FALSE(has_install_folder_name(L"C:\\X\\Velmarrow2"));
  EXPECT_FALSE(has_install_folder_name(L"C:\\Velmarrow\\X"));
  EXPECT_FALSE(has_install_folder_name(L"C:"));
  EXPECT_FALSE(has_install_folder_name(L"C:\\X\\Velmarrow\\"));
}

TEST(ProcessSweep, OnlyImagesInsideTheInstallDirectoryMatch) {
  struct Case {
    const wchar_t* image;
    bool inside;
  };
  const Case cases[] = {
      {L"C:\\X\\Velmarrow\\runtime\\bin\\javaw.exe", true},
      {L"C:\\X\\Velmarrow\\velmarrow.exe", true},
      {L"C:\\x\\VELMARROW\\RUNTIME\\BIN\\JAVAW.EXE", true},
      {L"C:\\X\\Velmarrow", true},
      {L"C:\\X\\Velmarrow2\\runtime\\bin\\javaw.exe", false},
      {L"C:\\X\\Velmarrow.old\\velmarrow.exe", false},
      {L"C:\\X\\Velmarro", false},
      {L"D:\\X\\Velmarrow\\velmarrow.exe", false},
      {L"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(image_path_in_directory(c.image, L"C:\\X\\Velmarrow"), c.inside) << c.image;
  }
}

// The folders whose identity the sweep compares with the install directory's:
// whole ancestors only, down to a drive's root, never a prefix of a name and
// never a name read against the current drive.
TEST(ProcessSweep, FoldersAboveAnImageAreCutAtBackslashes) {
  struct Case {
    const wchar_t* path;
    std::vector<std::wstring> folders;
  };
  const Case cases[] = {
      {L"C:\\X\\Velmarrow\\runtime\\bin\\javaw.exe",
       {L"C:\\X\\Velmarrow\\runtime\\bin", L"C:\\X\\Velmarrow\\runtime", L"C:\\X\\Velmarrow", L"C:\\X", L"C:\\"}},
      {L"V:\\velmarrow.exe", {L"V:\\"}},
      {L"C:\\X\\Velmarrow2\\velmarrow.exe", {L"C:\\X\\Velmarrow2", L"C:\\X", L"C:\\"}},
      {L"C:\\X\\", {L"C:\\X", L"C:\\"}},
      {L"\\\\?\\C:\\X\\javaw.exe", {L"\\\\?\\C:\\X", L"\\\\?\\C:\\"}},
      {L"\\\\server\\share\\Velmarrow\\velmarrow.exe",
       {L"\\\\server\\share\\Velmarrow", L"\\\\server\\share", L"\\\\server"}},
      {L"C:\\", {}},
      {L"C:", {}},
      {L"C:X\\javaw.exe", {}},
      {L"\\X\\javaw.exe", {}},
      {L"X\\Y\\javaw.exe", {}},
      {L"javaw.exe", {}},
      {L"\\\\", {}},
      {L"", {}},
  };
  for (const Case& c : cases) {
    wchar_t path[260];
    wcscpy(path, c.path);
    std::vector<std::wstring> folders;
    while (folders.size() < 10 && cut_to_parent_folder(path)) folders.push_back(path);
    EXPECT_EQ(folders, c.folders) << c.path;
    EXPECT_STREQ(path, c.folders.empty() ? c.path : c.folders.back().c_str()) << c.path;
  }
}

TEST(ProcessSweep, IdentitiesMatchOnVolumeAndIndexButNeverOnIndexZero) {
  const FileIdentity folder = {0x1234, 0, 0x51813e};
  EXPECT_TRUE(same_file_identity(folder, {0x1234, 0, 0x51813e}));
  EXPECT_FALSE(same_file_identity(folder, {0x1235, 0, 0x51813e}));
  EXPECT_FALSE(same_file_identity(folder, {0x1234, 1, 0x51813e}));
  EXPECT_FALSE(same_file_identity(folder, {0x1234, 0, 0x51813f}));
  EXPECT_TRUE(same_file_identity({0, 7, 0}, {0, 7, 0}));
  EXPECT_FALSE(same_file_identity({0x1234, 0, 0}, {0x1234, 0, 0}));
}

// Delayed expansion is off in the command itself, whatever the user's cmd
// settings, so a '!' in the path reaches rmdir as it is.
TEST(RemovalCommand, WaitsThenRemovesTheInstallDirectory) {
  const std::wstring long_directory = L"C:\\" + std::wstring(233, L'd') + L"\\Velmarrow";
  ASSERT_EQ(long_directory.size(), 246u);
  // The long one is too long to hold the launcher path, but the command still fits.
  for (const std::wstring& directory :
       {std::wstring(L"C:\\X\\Velmarrow"), std::wstring(L"C:\\p!X!q\\Velmarrow"), long_directory}) {
    wchar_t command[kRemovalCommandCapacity];
    ASSERT_TRUE(compose_removal_command(command, L"C:\\Windows\\system32", directory.c_str())) << directory;
    EXPECT_EQ(std::wstring(command),
              L"\"C:\\Windows\\system32\\cmd.exe\" /d /v:off /c ping 127.0.0.1 -n 4 >nul & "
              L"rmdir /s /q \"" + directory + L"\"");
  }
}

// cmd expands %NAME% even between quotes: such a directory is never handed to rmdir.
TEST(RemovalCommand, RefusesADirectoryWithAPercentSign) {
  for (const wchar_t* directory : {L"C:\\p%X%q\\Velmarrow", L"C:\\100%\\Velmarrow", L"%"}) {
    wchar_t command[kRemovalCommandCapacity] = L"stale";
    EXPECT_FALSE(compose_removal_command(command, L"C:\\Windows\\system32", directory)) << directory;
    EXPECT_STREQ(command, L"");
  }
  wchar_t command[kRemovalCommandCapacity];
  const std::wstring huge(1600, L'd');
  EXPECT_FALSE(compose_removal_command(command, L"C:\\Windows\\system32", huge.c_str()));
}

}  // namespace
