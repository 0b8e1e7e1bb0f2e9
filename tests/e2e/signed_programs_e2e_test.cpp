// The signed velmarrow.exe and uninstall.exe, which the signing test leaves in
// the folder that SIGNED_PROGRAMS names, in a real installation: a signature
// must change nothing that the programs do.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "harness.h"

namespace {

using namespace e2e;

// The size of a 64-bit program's certificate table, 0 when it has none.
DWORD certificate_table_size(const std::string& image) {
  IMAGE_DOS_HEADER dos;
  IMAGE_NT_HEADERS64 nt;
  if (image.size() < sizeof dos) return 0;
  std::memcpy(&dos, image.data(), sizeof dos);
  if (dos.e_lfanew < 0 || image.size() < static_cast<size_t>(dos.e_lfanew) + sizeof nt) return 0;
  std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof nt);
  return nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY].Size;
}

TEST(SignedPrograms, StartTheApplicationAndUninstallSilently) {
  const std::wstring signed_folder = environment_variable(L"SIGNED_PROGRAMS");
  ASSERT_FALSE(signed_folder.empty()) << "SIGNED_PROGRAMS names no folder";
  const std::wstring root = new_temp_root();
  const std::wstring install = root + L"\\Velmarrow";
  lay_out_installation(install);
  for (const wchar_t* program : {L"\\velmarrow.exe", L"\\uninstall.exe"}) {
    ASSERT_TRUE(CopyFileW((signed_folder + program).c_str(), (install + program).c_str(), FALSE));
    ASSERT_NE(certificate_table_size(read_file(install + program)), 0u) << "not signed";
  }

  // The application is still running after the launcher's watch.
  tell_standin({root + L"\\record.txt", L"", L"", L"20000", L"0"});
  const Outcome started = run_to_exit(install + L"\\velmarrow.exe", L"velmarrow.exe");
  tell_standin({});
  EXPECT_TRUE(started.boxes.empty());
  EXPECT_EQ(started.exit_code, 0u);
  auto record = read_record(root + L"\\record.txt");
  ASSERT_EQ(record[L"pid"].size(), 1u);
  const DWORD java = wcstoul(record[L"pid"][0].c_str(), nullptr, 10);
  EXPECT_TRUE(process_running(java));

  // The silent uninstaller ends it, removes the registration and has the folder removed.
  create_user_key(kKey);
  SetEnvironmentVariableW(L"APPDATA", (root + L"\\AppData").c_str());
  const Outcome removed = run_to_exit(install + L"\\uninstall.exe", L"uninstall.exe /S");
  EXPECT_TRUE(removed.boxes.empty());
  EXPECT_EQ(removed.exit_code, 0u);
  EXPECT_FALSE(process_running(java));
  EXPECT_FALSE(user_key_exists(kKey));
  for (int tries = 0; tries < 100 && path_exists(install); ++tries) Sleep(100);
  EXPECT_FALSE(path_exists(install));
  delete_user_key(kKey);
  remove_tree(root);
}

}  // namespace
