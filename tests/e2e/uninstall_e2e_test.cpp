// The real uninstall.exe in a real installation of the test prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include "harness.h"

namespace {

using namespace e2e;

const std::wstring kNotFound = L"Library by Velmarrow could not find its installed files.";
const std::wstring kRemoved = L"Library by Velmarrow has been removed from this PC.";

// A stand-in started directly from some file, alive until it is ended.
Started start_sleeper(const std::wstring& image) {
  tell_standin({L"", L"", L"", L"60000", L""});
  Started sleeper = start(image, L"\"" + image + L"\"");
  tell_standin({});
  return sleeper;
}

class Uninstaller : public testing::Test {
 protected:
  void SetUp() override {
    root_ = new_temp_root();
    install_ = root_ + L"\\Velmarrow";
    app_data_ = root_ + L"\\AppData\\Roaming";
    programs_ = app_data_ + L"\\Microsoft\\Windows\\Start Menu\\Programs";
    lay_out_installation(install_);
    make_directories(programs_);
    write_file(shortcut(), "shortcut");
    write_file(programs_ + L"\\Library by Velmarrow Beta.lnk", "sibling shortcut");
    create_user_key(kKey);
    create_user_key(kSiblingKey);
    SetEnvironmentVariableW(L"APPDATA", app_data_.c_str());
    tell_standin({});
  }
  void TearDown() override {
    for (Started& sleeper : sleepers_) wait_for_exit(sleeper, 0);
    delete_user_key(kKey);
    delete_user_key(kSiblingKey);
    remove_tree(root_);
  }

  std::wstring uninstaller() const { return install_ + L"\\uninstall.exe"; }
  std::wstring shortcut() const { return programs_ + L"\\Library by Velmarrow.lnk"; }
  bool untouched() const {
    return path_exists(shortcut()) && user_key_exists(kKey) && path_exists(install_ + L"\\velmarrow.exe") &&
           path_exists(install_ + L"\\uninstall.exe") && path_exists(install_ + L"\\runtime\\bin\\javaw.exe");
  }
  DWORD sleeper(const std::wstring& image) {
    sleepers_.push_back(start_sleeper(image));
    return sleepers_.back().pid;
  }

  std::wstring root_;
  std::wstring install_;
  std::wstring app_data_;
  std::wstring programs_;
  std::vector<Started> sleepers_;
};

TEST_F(Uninstaller, SilentTailsRemoveWithoutShowingAnything) {
  const std::wstring quoted = L"\"" + install_ + L"\\uninstall.exe\"";
  for (const std::wstring& command_line : std::vector<std::wstring>
       {quoted + L" /S", L"uninstall.exe /SILENT", quoted + L" x/Sy", L"uninstall.exe   /silent"}) {
    lay_out_installation(install_);
    write_file(shortcut(), "shortcut");
    create_user_key(kKey);
    const Outcome outcome = run_to_exit(uninstaller(), command_line);
    EXPECT_TRUE(outcome.boxes.empty()) << command_line;
    EXPECT_EQ(outcome.exit_code, 0u) << command_line;
    EXPECT_FALSE(user_key_exists(kKey)) << command_line;
    EXPECT_FALSE(path_exists(shortcut())) << command_line;
    EXPECT_TRUE(wait_until_gone(install_, 10000)) << command_line;
  }
  EXPECT_TRUE(user_key_exists(kSiblingKey));
  EXPECT_TRUE(path_exists(programs_ + L"\\Library by Velmarrow Beta.lnk"));
}

TEST_F(Uninstaller, OtherTailsAskAndNoChangesNothing) {
  const std::wstring quoted = L"\"" + install_ + L"\\uninstall.exe\"";
  for (const std::wstring& command_line : std::vector<std::wstring>
       {quoted + L" /s", L"uninstall.exe -silent", quoted + L" /sILENT", quoted, L"uninstall.exe"}) {
    const DWORD java = sleeper(install_ + L"\\runtime\\bin\\javaw.exe");
    const Outcome outcome = run_to_exit(uninstaller(), command_line, IDNO);
    ASSERT_EQ(outcome.boxes.size(), 1u) << command_line;
    EXPECT_EQ(outcome.boxes[0], kQuestion);
    EXPECT_TRUE(outcome.box_icons[0]);
    EXPECT_EQ(outcome.box_button_ids[0], (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(outcome.box_defaults[0], IDNO);
    EXPECT_EQ(outcome.exit_code, 0u) << command_line;
    EXPECT_TRUE(untouched()) << command_line;
    EXPECT_TRUE(process_running(java)) << command_line;
  }
}

TEST(UninstallerChecks, RefusesAFolderThatIsNoInstallation) {
  const std::wstring root = new_temp_root();
  create_user_key(kKey);
  // Silent from Velmarrow2: nothing shown, nothing touched.
  const std::wstring other = root + L"\\Velmarrow2";
  lay_out_installation(other);
  Outcome outcome = run_to_exit(other + L"\\uninstall.exe", L"uninstall.exe /S");
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_EQ(outcome.exit_code, 1u);
  EXPECT_TRUE(user_key_exists(kKey));
  Sleep(500);
  EXPECT_TRUE(path_exists(other + L"\\velmarrow.exe"));
  // Interactive from Velmarrow2: the same refusal, said aloud.
  outcome = run_to_exit(other + L"\\uninstall.exe", L"uninstall.exe");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kNotFound);
  EXPECT_EQ(outcome.exit_code, 1u);
  // A Velmarrow folder without velmarrow.exe.
  const std::wstring empty = root + L"\\Empty\\Velmarrow";
  make_directories(empty);
  copy_program(L"uninstall.exe", empty + L"\\uninstall.exe");
  outcome = run_to_exit(empty + L"\\uninstall.exe", L"uninstall.exe");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kNotFound);
  EXPECT_TRUE(outcome.box_icons[0]);
  EXPECT_EQ(outcome.box_button_ids[0], std::vector<int>{IDOK});
  EXPECT_EQ(outcome.exit_code, 1u);
  EXPECT_TRUE(user_key_exists(kKey));
  // Letter case of the folder name does not matter.
  const std::wstring lower = root + L"\\Lower\\velmarrow";
  lay_out_installation(lower);
  outcome = run_to_exit(lower + L"\\uninstall.exe", L"uninstall.exe", IDNO);
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kQuestion);
  EXPECT_EQ(outcome.exit_code, 0u);
  delete_user_key(kKey);
  remove_tree(root);
}

TEST_F(Uninstaller, YesEndsTheInstallationsProcessesAndRemovesIt) {
  const std::wstring sibling = root_ + L"\\Velmarrow2";
  lay_out_installation(sibling);
  copy_program(L"standin.exe", sibling + L"\\velmarrow.exe");
  copy_program(L"standin.exe", install_ + L"\\velmarrow.exe");
  copy_program(L"standin.exe", install_ + L"\\runtime\\bin\\java.exe");
  const DWORD java = sleeper(install_ + L"\\runtime\\bin\\javaw.exe");
  const DWORD launcher = sleeper(install_ + L"\\velmarrow.exe");
  const DWORD other_java = sleeper(install_ + L"\\runtime\\bin\\java.exe");
  const DWORD sibling_java = sleeper(sibling + L"\\runtime\\bin\\javaw.exe");
  const DWORD sibling_launcher = sleeper(sibling + L"\\velmarrow.exe");
  for (DWORD pid : {java, launcher, other_java, sibling_java, sibling_launcher}) {
    ASSERT_TRUE(process_running(pid));
  }

  Started run = start(uninstaller(), L"\"" + uninstaller() + L"\"");
  HWND question = wait_for_box(run, 10000);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(box_text(question), kQuestion);
  press(question, IDYES);

  HWND done = nullptr;
  for (int tries = 0; tries < 500 && (done == nullptr || done == question); ++tries) {
    done = wait_for_box(run, 10000);
    if (done == question && IsWindow(question)) Sleep(10);
  }
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(box_text(done), kRemoved);
  EXPECT_FALSE(box_has_icon(done));
  EXPECT_EQ(box_buttons(done), std::vector<int>{IDOK});

  // While the final message is open the processes are ended, the footprint is
  // gone, and the install directory is still whole.
  EXPECT_FALSE(process_running(java));
  EXPECT_FALSE(process_running(launcher));
  EXPECT_TRUE(process_running(other_java));
  EXPECT_TRUE(process_running(sibling_java));
  EXPECT_TRUE(process_running(sibling_launcher));
  EXPECT_FALSE(user_key_exists(kKey));
  EXPECT_TRUE(user_key_exists(kSiblingKey));
  EXPECT_FALSE(path_exists(shortcut()));
  EXPECT_TRUE(path_exists(programs_ + L"\\Library by Velmarrow Beta.lnk"));
  Sleep(1500);
  EXPECT_TRUE(path_exists(install_ + L"\\uninstall.exe"));
  EXPECT_TRUE(path_exists(install_ + L"\\velmarrow.exe"));
  EXPECT_TRUE(path_exists(install_ + L"\\runtime\\bin\\javaw.exe"));

  press(done, IDOK);
  EXPECT_EQ(wait_for_exit(run, 10000), 0u);
  // java.exe keeps running from inside: end it so its files can go too.
  for (Started& s : sleepers_) {
    if (s.pid == other_java) wait_for_exit(s, 0);
  }
  EXPECT_TRUE(wait_until_gone(install_, 10000));
  EXPECT_TRUE(path_exists(sibling + L"\\velmarrow.exe"));
}

TEST_F(Uninstaller, SilentWithoutAppDataStillRemovesKeyAndDirectory) {
  SetEnvironmentVariableW(L"APPDATA", nullptr);
  const Outcome outcome = run_to_exit(uninstaller(), L"uninstall.exe /S");
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_EQ(outcome.exit_code, 0u);
  EXPECT_FALSE(user_key_exists(kKey));
  EXPECT_TRUE(path_exists(shortcut()));
  EXPECT_TRUE(wait_until_gone(install_, 10000));
}

TEST_F(Uninstaller, AlreadyRemovedFootprintIsNoError) {
  DeleteFileW(shortcut().c_str());
  delete_user_key(kKey);
  const Outcome outcome = run_to_exit(uninstaller(), L"uninstall.exe", IDYES);
  ASSERT_EQ(outcome.boxes.size(), 2u);
  EXPECT_EQ(outcome.boxes[1], kRemoved);
  EXPECT_EQ(outcome.exit_code, 0u);
  EXPECT_TRUE(wait_until_gone(install_, 10000));
}

// cmd expands %X% inside the quoted path, and !X! too when the user has
// turned delayed expansion on in the registry: either would remove
// <root>\pvictimq\Velmarrow. A '%' is refused, so that installation stays;
// a '!' is read as it is, so that one goes. Wine's cmd ignores the registry
// value, so only the command's own switch decides here: /v:on in its place
// shows the fault.
TEST(UninstallerRemoval, VariablesInTheInstallPathNeverRemoveAnotherFolder) {
  struct Case {
    const wchar_t* folder;
    bool removed;
  };
  for (const Case& c : {Case{L"p%X%q", false}, Case{L"p!X!q", true}}) {
    const std::wstring root = new_temp_root();
    const std::wstring install = root + L"\\" + c.folder + L"\\Velmarrow";
    const std::wstring victim = root + L"\\pvictimq\\Velmarrow";
    lay_out_installation(install);
    lay_out_installation(victim);
    write_file(victim + L"\\data.txt", "precious");
    create_user_key(kKey);
    SetEnvironmentVariableW(L"X", L"victim");
    const Outcome outcome = run_to_exit(install + L"\\uninstall.exe", L"uninstall.exe /S");
    SetEnvironmentVariableW(L"X", nullptr);
    EXPECT_EQ(outcome.exit_code, 0u) << c.folder;
    EXPECT_FALSE(user_key_exists(kKey)) << c.folder;
    if (c.removed) {
      EXPECT_TRUE(wait_until_gone(install, 10000)) << c.folder;
    } else {
      // Give a removal command, had one been started, time past its pings.
      Sleep(6000);
      EXPECT_TRUE(path_exists(install + L"\\velmarrow.exe")) << c.folder;
    }
    EXPECT_EQ(read_file(victim + L"\\data.txt"), "precious") << c.folder;
    EXPECT_TRUE(path_exists(victim + L"\\velmarrow.exe")) << c.folder;
    remove_tree(root);
  }
}

}  // namespace
