// The whole life of an installation that the real installer makes: installed
// silently, started from its Start Menu shortcut as Explorer starts it,
// installed over while the application runs, and removed through its
// registration as Windows Settings removes it. The installers are built
// around two versions of an application image with the stand-in as its Java
// runtime (tests/lifecycle-image.sh); version 2 lacks files that version 1
// has, so an upgrade shows whether anything old stays behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace e2e;

// Written by each start of the launcher, so no installer brings it.
const std::wstring kStartLog = L"velmarrow-start.log";
// NSIS: the script gave up (Abort).
constexpr DWORD kSetupAborted = 2;
const std::wstring kSetupTitle = L"Library by Velmarrow Setup";
const std::wstring kFolderPage = kSetupTitle + L": Installation Folder";
const std::wstring kCompletedPage = kSetupTitle + L": Completed";

std::wstring parent_of(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring setup_program(int version) {
  return programs_directory() + L"\\velmarrow-setup-" + std::to_wstring(version) + L".exe";
}

std::wstring image_directory(int version) {
  return parent_of(programs_directory()) + L"\\lifecycle\\image-" + std::to_wstring(version);
}

// True when folder lies in this build tree's own Wine prefix: WINEPREFIX is
// the build's, the folder's Unix path lies under it, and no folder on the way
// is a link out of it (the prefix's Desktop and Documents lead to the home).
bool inside_test_prefix(const std::wstring& folder) {
  typedef char*(CDECL * UnixFileName)(const wchar_t*);
  const auto unix_file_name = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  const std::wstring prefix = environment_variable(L"WINEPREFIX");
  if (unix_file_name == nullptr || prefix.empty() || folder.size() <= 3) return false;
  std::wstring prefix_as_windows_path = L"Z:" + prefix;
  std::replace(prefix_as_windows_path.begin(), prefix_as_windows_path.end(), L'/', L'\\');
  if (_wcsicmp(prefix_as_windows_path.c_str(), (parent_of(programs_directory()) + L"\\wineprefix").c_str()) != 0) {
    return false;
  }
  char* unix_path = unix_file_name(folder.c_str());
  if (unix_path == nullptr) return false;
  const std::string path = unix_path;
  HeapFree(GetProcessHeap(), 0, unix_path);
  char prefix_bytes[MAX_PATH * 3];
  if (WideCharToMultiByte(CP_UTF8, 0, prefix.c_str(), -1, prefix_bytes, sizeof prefix_bytes, nullptr, nullptr) == 0 ||
      path.rfind(std::string(prefix_bytes) + "/", 0) != 0) {
    return false;
  }
  for (std::wstring at = folder; at.size() > 3; at = parent_of(at)) {
    const DWORD attributes = GetFileAttributesW(at.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return false;
  }
  return true;
}

// Every file and folder below folder by its relative path, folders ending in
// a backslash, each file with its bytes.
void collect_tree(const std::wstring& folder, const std::wstring& relative,
                  std::map<std::wstring, std::string>& tree) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[relative + name + L"\\"] = "";
      collect_tree(folder + L"\\" + name, relative + name + L"\\", tree);
    } else {
      tree[relative + name] = read_file(folder + L"\\" + name);
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

std::map<std::wstring, std::string> tree_of(const std::wstring& folder) {
  std::map<std::wstring, std::string> tree;
  collect_tree(folder, L"", tree);
  return tree;
}

// What an installation of this version holds: the image and the two programs.
std::map<std::wstring, std::string> expected_installation(int version) {
  std::map<std::wstring, std::string> tree = tree_of(image_directory(version));
  for (const wchar_t* program : {L"velmarrow.exe", L"uninstall.exe"}) {
    tree[program] = read_file(programs_directory() + L"\\" + program);
  }
  return tree;
}

void expect_same_tree(const std::map<std::wstring, std::string>& actual,
                      const std::map<std::wstring, std::string>& expected) {
  std::vector<std::wstring> actual_names;
  std::vector<std::wstring> expected_names;
  for (const auto& entry : actual) actual_names.push_back(entry.first);
  for (const auto& entry : expected) expected_names.push_back(entry.first);
  EXPECT_EQ(actual_names, expected_names);
  for (const auto& entry : expected) {
    const auto found = actual.find(entry.first);
    if (found != actual.end()) {
      EXPECT_TRUE(found->second == entry.second) << "content of " << entry.first;
    }
  }
}

std::vector<std::wstring> registered_value_names() {
  std::vector<std::wstring> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  DWORD length = 256;
  for (DWORD index = 0; RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++index, length = 256) {
    names.push_back(name);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

// A string value of the registration key; "<missing>" when it is absent or no string.
std::wstring registered_string(const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return value;
}

// A DWORD value of the registration key; 0xFFFFFFFF when it is absent or no DWORD.
DWORD registered_number(const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return 0xFFFFFFFF;
  }
  return value;
}

struct Shortcut {
  std::wstring target;
  std::wstring working_directory;
  std::wstring arguments;
};

// The shortcut file read back as the shell reads it; all empty when unreadable.
Shortcut read_shortcut(const std::wstring& path) {
  Shortcut shortcut;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t text[MAX_PATH];
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return shortcut;
  }
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
    if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) shortcut.target = text;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) shortcut.working_directory = text;
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) shortcut.arguments = text;
  }
  if (file != nullptr) file->Release();
  link->Release();
  return shortcut;
}

// Opens the shortcut as Explorer does on a click. Windows may hand back the
// process it started; Wine does not, so callers find it by its program file.
bool open_as_explorer(const std::wstring& shortcut) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = shortcut.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return false;
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return true;
}

// The running process whose program file is image, opened to wait for and
// to end; waits up to timeout_ms for it to appear. process is null if none.
Started find_process(const std::wstring& image, DWORD timeout_ms) {
  const std::wstring name = image.substr(image.find_last_of(L'\\') + 1);
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  do {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
      if (_wcsicmp(entry.szExeFile, name.c_str()) != 0) continue;
      HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   entry.th32ProcessID);
      if (process == nullptr) continue;
      wchar_t path[MAX_PATH];
      DWORD size = MAX_PATH;
      if (QueryFullProcessImageNameW(process, 0, path, &size) && _wcsicmp(path, image.c_str()) == 0) {
        CloseHandle(snapshot);
        Started found;
        found.process = process;
        found.pid = entry.th32ProcessID;
        return found;
      }
      CloseHandle(process);
    }
    CloseHandle(snapshot);
    Sleep(20);
  } while (GetTickCount64() < until);
  return Started{};
}

// A stand-in with folder as its current directory, as a command prompt opened
// there would have: no program of the installation, so nothing ends it.
Started start_in_folder(const std::wstring& folder) {
  const std::wstring program = programs_directory() + L"\\standin.exe";
  std::wstring command_line = L"\"" + program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Started started;
  tell_standin({L"", L"", L"", L"60000", L""});
  if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                     &startup, &info)) {
    CloseHandle(info.hThread);
    started.process = info.hProcess;
    started.pid = info.dwProcessId;
  }
  tell_standin({});
  return started;
}

// The folder box of the installer's directory page.
HWND folder_box(HWND page) {
  return GetDlgItem(FindWindowExW(page, nullptr, L"#32770", nullptr), 1019);
}

std::wstring window_text(HWND window) {
  wchar_t text[MAX_PATH] = L"";
  SendMessageW(window, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text));
  return text;
}

// How long each step took, printed for the record; nothing is asserted on it.
struct StepClock {
  ULONGLONG since = GetTickCount64();
  void done(const char* step) {
    const ULONGLONG now = GetTickCount64();
    std::printf("[   step   ] %-62s %6llu ms\n", step, now - since);
    std::fflush(stdout);
    since = now;
  }
};

class Lifecycle : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    local_app_data_ = environment_variable(L"LOCALAPPDATA");
    app_data_ = environment_variable(L"APPDATA");
    // Everything below is removed at the end: only ever in the test prefix.
    ASSERT_TRUE(inside_test_prefix(local_app_data_)) << local_app_data_;
    ASSERT_TRUE(inside_test_prefix(app_data_)) << app_data_;
    in_test_prefix_ = true;
    programs_ = local_app_data_ + L"\\Programs";
    install_ = programs_ + L"\\Velmarrow";
    shortcut_ = app_data_ + L"\\Microsoft\\Windows\\Start Menu\\Programs\\Library by Velmarrow.lnk";
    root_ = new_temp_root();
    tell_standin({});
    remove_footprint();
  }

  void TearDown() override {
    for (Started& process : processes_) wait_for_exit(process, 0);
    tell_standin({});
    if (in_test_prefix_) {
      remove_footprint();
      remove_tree(root_);
    }
    CoUninitialize();
  }

  // Whatever an installation, or a test that stopped half way, leaves.
  void remove_footprint() {
    remove_tree(install_);
    remove_tree(install_ + L".old-1");
    remove_tree(programs_ + L"\\Velmarrow Beta");
    DeleteFileW(shortcut_.c_str());
    delete_user_key(kKey);
    delete_user_key(kSiblingKey);
  }

  // Runs the installer of this version with these arguments; its exit code.
  DWORD run_setup(int version, const std::wstring& arguments) {
    Started setup = start(setup_program(version), L"\"" + setup_program(version) + L"\" " + arguments);
    return wait_for_exit(setup, 60000);
  }

  // The whole installation of this version in folder, and nothing else:
  // files, Start Menu shortcut, registration.
  void expect_installation(const std::wstring& folder, int version) {
    SCOPED_TRACE(testing::Message() << "installation of version " << version);
    std::map<std::wstring, std::string> installed = tree_of(folder);
    installed.erase(kStartLog);
    expect_same_tree(installed, expected_installation(version));

    const Shortcut shortcut = read_shortcut(shortcut_);
    EXPECT_EQ(shortcut.target, folder + L"\\velmarrow.exe");
    EXPECT_EQ(shortcut.working_directory, folder);
    EXPECT_EQ(shortcut.arguments, L"");

    EXPECT_EQ(registered_value_names(),
              (std::vector<std::wstring>{L"DisplayIcon", L"DisplayName", L"DisplayVersion", L"EstimatedSize",
                                         L"InstallLocation", L"NoModify", L"NoRepair", L"Publisher",
                                         L"QuietUninstallString", L"UninstallString"}));
    EXPECT_EQ(registered_string(L"DisplayName"), L"Library by Velmarrow");
    EXPECT_EQ(registered_string(L"DisplayVersion"), L"1.0.1");
    EXPECT_EQ(registered_string(L"Publisher"), L"Velmarrow");
    EXPECT_EQ(registered_string(L"DisplayIcon"), folder + L"\\velmarrow.exe");
    EXPECT_EQ(registered_string(L"InstallLocation"), folder);
    EXPECT_EQ(registered_string(L"UninstallString"), L"\"" + folder + L"\\uninstall.exe\"");
    EXPECT_EQ(registered_string(L"QuietUninstallString"), L"\"" + folder + L"\\uninstall.exe\" /S");
    EXPECT_EQ(registered_number(L"NoModify"), 1u);
    EXPECT_EQ(registered_number(L"NoRepair"), 1u);
    // In KiB: at least the files' sum, at most a KiB more for each file.
    unsigned long long bytes = 0;
    unsigned long long files = 0;
    for (const auto& entry : installed) {
      bytes += entry.second.size();
      files += entry.first.back() == L'\\' ? 0 : 1;
    }
    EXPECT_GE(registered_number(L"EstimatedSize"), bytes / 1024);
    EXPECT_LE(registered_number(L"EstimatedSize"), bytes / 1024 + files);

    // Nothing of a replaced installation stays beside it.
    const std::wstring leaf = folder.substr(folder.find_last_of(L'\\') + 1) + L".";
    for (const auto& entry : tree_of(parent_of(folder))) {
      EXPECT_NE(entry.first.rfind(leaf, 0), 0u) << "left beside the installation: " << entry.first;
    }
  }

  void expect_removed(const std::wstring& folder) {
    EXPECT_FALSE(user_key_exists(kKey));
    EXPECT_FALSE(path_exists(shortcut_));
    EXPECT_TRUE(wait_until_gone(folder, 10000)) << folder;
  }

  // Ended at the end of the test, whatever happened.
  DWORD keep(const Started& process) {
    processes_.push_back(process);
    return process.pid;
  }

  bool in_test_prefix_ = false;
  std::wstring local_app_data_;
  std::wstring app_data_;
  std::wstring programs_;
  std::wstring install_;
  std::wstring shortcut_;
  std::wstring root_;
  std::vector<Started> processes_;
};

TEST_F(Lifecycle, InstallStartReinstallWhileRunningAndRemoveAsSettingsDoes) {
  StepClock clock;
  ASSERT_EQ(run_setup(1, L"/S"), 0u);
  clock.done("silent install");
  expect_installation(install_, 1);

  // Started from the Start Menu: the launcher leaves the application running
  // in the install directory and exits 0.
  const std::wstring record = root_ + L"\\record.txt";
  tell_standin({record, L"", L"", L"120000", L""});
  ASSERT_TRUE(open_as_explorer(shortcut_));
  Started launcher = find_process(install_ + L"\\velmarrow.exe", 10000);
  tell_standin({});
  ASSERT_NE(launcher.process, nullptr);
  clock.done("shortcut opened, launcher found");
  EXPECT_EQ(wait_for_exit(launcher, 15000), 0u);
  clock.done("launcher exited");
  auto started = read_record(record);
  ASSERT_EQ(started[L"pid"].size(), 1u);
  EXPECT_EQ(started[L"cwd"], std::vector<std::wstring>{install_});
  const DWORD application = keep(find_process(install_ + L"\\runtime\\bin\\javaw.exe", 0));
  EXPECT_EQ(application, std::wcstoul(started[L"pid"][0].c_str(), nullptr, 10));
  ASSERT_TRUE(process_running(application));

  // Installed over while it runs: the application is ended, so that no file
  // of the old installation is held, and the new one is complete.
  ASSERT_EQ(run_setup(2, L"/S"), 0u);
  clock.done("silent install over the running application");
  EXPECT_FALSE(process_running(application));
  Sleep(10000);
  expect_installation(install_, 2);
  clock.done("10 s later, checked");

  // The UninstallString as Settings runs it asks first; No changes nothing.
  const Outcome declined = run_to_exit(L"", registered_string(L"UninstallString"), IDNO);
  clock.done("UninstallString, answered No");
  ASSERT_EQ(declined.boxes.size(), 1u);
  EXPECT_EQ(declined.boxes[0], kQuestion);
  EXPECT_EQ(declined.exit_code, 0u);
  // Past the time a removal would take to start.
  Sleep(4000);
  expect_installation(install_, 2);
  clock.done("4 s later, checked");

  // The QuietUninstallString removes this installation and nothing beside it.
  const std::wstring sibling = programs_ + L"\\Velmarrow Beta";
  lay_out_installation(sibling);
  create_user_key(kSiblingKey);
  const Outcome removed = run_to_exit(L"", registered_string(L"QuietUninstallString"));
  clock.done("QuietUninstallString exited");
  EXPECT_TRUE(removed.boxes.empty());
  EXPECT_EQ(removed.exit_code, 0u);
  expect_removed(install_);
  clock.done("install directory gone");
  EXPECT_TRUE(path_exists(sibling + L"\\velmarrow.exe"));
  EXPECT_TRUE(user_key_exists(kSiblingKey));
}

// The old folder goes a few seconds after its uninstaller has exited: files
// installed into it meanwhile would go with it.
TEST_F(Lifecycle, InstallRightAfterAnUninstallOutlastsTheRemoval) {
  StepClock clock;
  ASSERT_EQ(run_setup(1, L"/S"), 0u);
  const Outcome removed = run_to_exit(L"", registered_string(L"QuietUninstallString"));
  EXPECT_EQ(removed.exit_code, 0u);
  ASSERT_TRUE(path_exists(install_ + L"\\velmarrow.exe")) << "the removal is no longer pending";
  clock.done("installed, uninstalled, removal pending");
  ASSERT_EQ(run_setup(2, L"/S"), 0u);
  clock.done("silent install while the removal is pending");
  Sleep(10000);
  expect_installation(install_, 2);
}

// The chosen folder always ends in one named Velmarrow, and installing
// elsewhere moves the one installation there.
TEST_F(Lifecycle, ChosenFolderEndsInVelmarrowAndRemovesCleanly) {
  StepClock clock;
  ASSERT_EQ(run_setup(1, L"/S"), 0u);
  struct Choice {
    std::wstring folder;
    std::wstring installation;
  };
  const Choice choices[] = {
      {root_ + L"\\My Apps", root_ + L"\\My Apps\\Velmarrow"},
      {root_ + L"\\Tools\\velmarrow", root_ + L"\\Tools\\velmarrow"},
      {root_ + L"\\Other Apps\\", root_ + L"\\Other Apps\\Velmarrow"},
  };
  std::wstring previous = install_;
  int version = 1;
  for (const Choice& choice : choices) {
    SCOPED_TRACE(testing::Message() << "/D=" << choice.folder);
    make_directories(parent_of(choice.installation));
    write_file(parent_of(choice.installation) + L"\\keep.txt", "not the installation's");
    version = 3 - version;
    ASSERT_EQ(run_setup(version, L"/S /D=" + choice.folder), 0u);
    clock.done("silent install into a chosen folder, moving the installation");
    expect_installation(choice.installation, version);
    EXPECT_FALSE(path_exists(previous)) << previous;
    previous = choice.installation;
  }

  const Outcome removed = run_to_exit(L"", registered_string(L"QuietUninstallString"));
  EXPECT_EQ(removed.exit_code, 0u);
  expect_removed(previous);
  clock.done("QuietUninstallString, install directory gone");
  EXPECT_EQ(read_file(parent_of(previous) + L"\\keep.txt"), "not the installation's");
}

// A folder that another program still uses cannot be replaced whole: the
// silent installer gives up and leaves the old installation as it was, not
// a mix; a user is asked to close that program and retry.
TEST_F(Lifecycle, InstallationInUseStaysWholeUntilItIsFree) {
  ASSERT_EQ(run_setup(1, L"/S"), 0u);
  const DWORD holder = keep(start_in_folder(install_));
  ASSERT_TRUE(process_running(holder));
  EXPECT_EQ(run_setup(2, L"/S"), kSetupAborted);
  expect_installation(install_, 1);

  const std::wstring setup = setup_program(2);
  Started interactive = start(setup, L"\"" + setup + L"\"");
  HWND page = wait_for_box(interactive, 15000, kFolderPage.c_str());
  ASSERT_NE(page, nullptr);
  press(page, IDOK);
  HWND in_use = wait_for_box(interactive, 30000, kSetupTitle.c_str());
  ASSERT_NE(in_use, nullptr);
  EXPECT_EQ(box_text(in_use), L"Library by Velmarrow in " + install_ +
                                  L" is in use by another program. Close it and click Retry.");
  EXPECT_EQ(box_buttons(in_use), (std::vector<int>{IDRETRY, IDCANCEL}));
  expect_installation(install_, 1);
  wait_for_exit(processes_.back(), 0);
  press(in_use, IDRETRY);
  HWND done = wait_for_box(interactive, 30000, kCompletedPage.c_str());
  ASSERT_NE(done, nullptr);
  press(done, IDOK);
  EXPECT_EQ(wait_for_exit(interactive, 15000), 0u);
  expect_installation(install_, 2);
}

// A file that cannot be written fails the installation, which puts the one
// it replaced back. The fault: a folder where uninstall.exe, the last file
// copied, must go, made once the old installation has gone aside. Should the
// installer win that race, the test tries again.
TEST_F(Lifecycle, FailedCopyPutsTheReplacedInstallationBack) {
  const std::wstring setup = setup_program(2);
  bool blocked = false;
  for (int attempt = 0; attempt < 3 && !blocked; ++attempt) {
    remove_footprint();
    ASSERT_EQ(run_setup(1, L"/S"), 0u);
    Started replacing = start(setup, L"\"" + setup + L"\" /S");
    ASSERT_NE(replacing.process, nullptr);
    while (!path_exists(install_ + L".old-1") && WaitForSingleObject(replacing.process, 0) == WAIT_TIMEOUT) {
    }
    CreateDirectoryW(install_.c_str(), nullptr);
    blocked = CreateDirectoryW((install_ + L"\\uninstall.exe").c_str(), nullptr) != 0;
    const DWORD code = wait_for_exit(replacing, 60000);
    if (blocked) {
      EXPECT_EQ(code, kSetupAborted);
    }
  }
  ASSERT_TRUE(blocked) << "the installer copied uninstall.exe before the test could stop it";
  expect_installation(install_, 1);
}

// A folder of that name that holds no installation is not the installer's to
// replace: it stays as it is, after a wait in case it was being removed.
TEST_F(Lifecycle, FolderThatIsNoInstallationIsLeftAlone) {
  make_directories(install_);
  write_file(install_ + L"\\notes.txt", "the user's");
  EXPECT_EQ(run_setup(1, L"/S"), kSetupAborted);
  EXPECT_EQ(tree_of(install_).size(), 1u);
  EXPECT_EQ(read_file(install_ + L"\\notes.txt"), "the user's");
  EXPECT_FALSE(user_key_exists(kKey));
  EXPECT_FALSE(path_exists(shortcut_));
}

// As a user runs it: the directory page offers the default folder, Cancel
// installs nothing, and a typed folder ends in Velmarrow as well.
TEST_F(Lifecycle, InteractiveSetupCancelsOrInstallsIntoTheTypedFolder) {
  const std::wstring setup = setup_program(1);
  Started cancelled = start(setup, L"\"" + setup + L"\"");
  HWND page = wait_for_box(cancelled, 15000, kFolderPage.c_str());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(window_text(folder_box(page)), install_);
  press(page, IDCANCEL);
  EXPECT_EQ(wait_for_exit(cancelled, 15000), 1u);
  EXPECT_FALSE(path_exists(install_));
  EXPECT_FALSE(user_key_exists(kKey));
  EXPECT_FALSE(path_exists(shortcut_));

  Started installed = start(setup, L"\"" + setup + L"\"");
  page = wait_for_box(installed, 15000, kFolderPage.c_str());
  ASSERT_NE(page, nullptr);
  SendMessageW(folder_box(page), WM_SETTEXT, 0, reinterpret_cast<LPARAM>((root_ + L"\\Typed Folder").c_str()));
  press(page, IDOK);
  HWND done = wait_for_box(installed, 30000, kCompletedPage.c_str());
  ASSERT_NE(done, nullptr);
  press(done, IDOK);
  EXPECT_EQ(wait_for_exit(installed, 15000), 0u);
  expect_installation(root_ + L"\\Typed Folder\\Velmarrow", 1);
}

}  // namespace
