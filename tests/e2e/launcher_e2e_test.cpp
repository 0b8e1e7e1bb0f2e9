// The real velmarrow.exe in a real installation, with the stand-in runtime.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "harness.h"

namespace {

using namespace e2e;

const std::wstring kClosedEarly = L"Library by Velmarrow closed before the window opened.";
const std::wstring kCouldNotStart = L"Library by Velmarrow could not start.";
const std::wstring kIncomplete = L"The app files are incomplete. Install Library by Velmarrow again.";

class Launcher : public testing::Test {
 protected:
  void SetUp() override {
    root_ = new_temp_root();
    install_ = root_ + L"\\Velmarrow";
    lay_out_installation(install_);
    tell_standin({});
  }
  void TearDown() override {
    tell_standin({});
    remove_tree(root_);
  }
  std::wstring launcher() const { return install_ + L"\\velmarrow.exe"; }
  std::wstring log_path() const { return install_ + L"\\velmarrow-start.log"; }
  std::wstring record_path() const { return root_ + L"\\record.txt"; }

  // Starts the launcher with this command line; the stand-in records itself
  // and exits at once with exit_code.
  Outcome launch_exiting(const std::wstring& command_line, const std::wstring& exit_code = L"1") {
    tell_standin({record_path(), L"", L"", L"", exit_code});
    return run_to_exit(launcher(), command_line);
  }

  std::wstring root_;
  std::wstring install_;
};

std::wstring expected_command_line(const std::wstring& dir) {
  return L"\"" + dir + L"\\runtime\\bin\\javaw.exe\" -Dskiko.library.path=\"" + dir +
         L"\" -Dcompose.application.resources.dir=\"" + dir +
         L"\\resources\" -Dcompose.application.configure.swing.globals=true "
         L"-Djpackage.app-version=1.0.1 -cp \"" + dir +
         L"\\lib\\*\" com.tarnwick.velmarrow.desktop.MainKt";
}

TEST_F(Launcher, StartsTheRuntimeWithTheExactCommandLine) {
  const Outcome outcome = launch_exiting(L"velmarrow.exe a b c");
  auto record = read_record(record_path());
  ASSERT_EQ(record[L"command_line"].size(), 1u);
  EXPECT_EQ(record[L"command_line"][0], expected_command_line(install_) + L" \"a\" \"b\" \"c\"");
  EXPECT_EQ(record[L"cwd"][0], install_);
  EXPECT_EQ(outcome.exit_code, 1u);
}

// Arguments too long for one command line are cut, and the application still
// starts. Windows refuses a command line of 32767 characters or more; Wine
// does not, and itself cuts what it passes on to 32766 characters, so here
// the start shows only that the cut launch goes on: the unit table of the
// composed text shows the limit.
TEST_F(Launcher, OverlongArgumentsAreCutAndTheApplicationStarts) {
  const std::wstring first(16300, L'a');
  const std::wstring second(16300, L'b');
  const Outcome outcome = launch_exiting(L"velmarrow.exe " + first + L" \"" + second + L"\"");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kClosedEarly) << "the application ran";
  auto record = read_record(record_path());
  ASSERT_EQ(record[L"command_line"].size(), 1u);
  const std::wstring whole = expected_command_line(install_) + L" \"" + first + L"\" \"" + second + L"\"";
  ASSERT_GT(whole.size(), 32766u);
  EXPECT_EQ(record[L"command_line"][0], whole.substr(0, 32766));
  ASSERT_EQ(record[L"arg"].size(), 9u);
  EXPECT_EQ(record[L"arg"][7], first);
}

TEST(LauncherPaths, InstallPathWithSpacesAndNonAsciiLetters) {
  const std::wstring root = new_temp_root();
  const std::wstring install = root + L"\\Zoë Ångström Straße\\Velmarrow";
  lay_out_installation(install);
  tell_standin({root + L"\\record.txt", L"", L"", L"", L"1"});
  const Outcome outcome = run_to_exit(install + L"\\velmarrow.exe", L"\"" + install + L"\\velmarrow.exe\"");
  tell_standin({});
  auto record = read_record(root + L"\\record.txt");
  ASSERT_EQ(record[L"command_line"].size(), 1u);
  EXPECT_EQ(record[L"command_line"][0], expected_command_line(install));
  EXPECT_EQ(record[L"cwd"][0], install);
  EXPECT_EQ(record[L"arg"].size(), 7u);
  EXPECT_EQ(record[L"arg"][0], L"-Dskiko.library.path=" + install);
  EXPECT_EQ(outcome.exit_code, 1u);
  remove_tree(root);
}

// Arguments the Windows parsers split or change when copied between quotes
// unescaped must reach the application exactly as the launcher received them.
TEST_F(Launcher, ForwardsAwkwardArgumentsUnchanged) {
  const std::wstring command_line =
      L"velmarrow.exe x\\\"y C:\\dir\\ \"a\\\\\\\"b\" \"\" \"two words\" \"tab\there\" "
      L"\\\\server\\share\\ \"--name=Zoë \\\"Z\\\"\" \\\\\\\" \"C:\\Program Files\\\\\"";
  const std::vector<std::wstring> expected = {
      L"x\"y",  L"C:\\dir\\",     L"a\\\"b",          L"",     L"two words", L"tab\there",
      L"\\\\server\\share\\", L"--name=Zoë \"Z\"", L"\\\"", L"C:\\Program Files\\"};
  // The table above is what Windows itself makes of the command line.
  int count = 0;
  wchar_t** parsed = CommandLineToArgvW(command_line.c_str(), &count);
  ASSERT_EQ(static_cast<size_t>(count), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(parsed[i + 1], expected[i]);
  LocalFree(parsed);

  launch_exiting(command_line);
  auto record = read_record(record_path());
  const std::vector<std::wstring> fixed = {
      L"-Dskiko.library.path=" + install_, L"-Dcompose.application.resources.dir=" + install_ + L"\\resources",
      L"-Dcompose.application.configure.swing.globals=true", L"-Djpackage.app-version=1.0.1", L"-cp",
      install_ + L"\\lib\\*", L"com.tarnwick.velmarrow.desktop.MainKt"};
  std::vector<std::wstring> all = fixed;
  all.insert(all.end(), expected.begin(), expected.end());
  EXPECT_EQ(record[L"arg"], all);
  EXPECT_EQ(record[L"crt_arg"], all);
}

TEST_F(Launcher, EarlyExitQuotesTheStartLogAtOnce) {
  // Standard output and standard error both go to the log.
  write_file(root_ + L"\\out.txt", "Exception in thread \"main\" java.lang.Error: boom\r\n");
  write_file(root_ + L"\\stdin.txt", "typed-by-the-user");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE input = CreateFileW((root_ + L"\\stdin.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                             OPEN_EXISTING, 0, nullptr);
  tell_standin({record_path(), root_ + L"\\out.txt", L"\tat Main.main", L"", L"0"});
  const Outcome outcome = run_to_exit(launcher(), L"velmarrow.exe", IDOK, 15000, input);
  CloseHandle(input);

  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0],
            kClosedEarly + L"\n\nException in thread \"main\" java.lang.Error: boom\r\n\tat Main.main");
  EXPECT_TRUE(outcome.box_icons[0]);
  EXPECT_EQ(outcome.box_button_ids[0], std::vector<int>{IDOK});
  EXPECT_LT(outcome.first_box_after_ms, 2500u) << "the watch must end when the process does";
  EXPECT_EQ(outcome.exit_code, 1u);
  auto record = read_record(record_path());
  EXPECT_EQ(record[L"stdin"][0], L"typed-by-the-user");
  EXPECT_EQ(read_file(log_path()), "Exception in thread \"main\" java.lang.Error: boom\r\n\tat Main.main");
}

TEST_F(Launcher, StillRunningAfterTheWatchExitsZeroAndLeavesItRunning) {
  write_file(root_ + L"\\out.txt", "started\n");
  tell_standin({record_path(), root_ + L"\\out.txt", L"", L"20000", L"0"});
  const ULONGLONG before = GetTickCount64();
  const Outcome outcome = run_to_exit(launcher(), L"velmarrow.exe --flag");
  const ULONGLONG took = GetTickCount64() - before;
  EXPECT_TRUE(outcome.boxes.empty());
  EXPECT_EQ(outcome.exit_code, 0u);
  EXPECT_GE(took, 3900u);
  EXPECT_LT(took, 8000u);
  auto record = read_record(record_path());
  ASSERT_EQ(record[L"pid"].size(), 1u);
  const DWORD pid = wcstoul(record[L"pid"][0].c_str(), nullptr, 10);
  EXPECT_TRUE(process_running(pid));
  EXPECT_EQ(read_file(log_path()), "started\n");
  HANDLE java = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  TerminateProcess(java, 0);
  CloseHandle(java);
  Sleep(200);
}

// A pipe whose write end a started program inherits; the test keeps only the
// read end.
struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
};

Pipe inheritable_pipe() {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  Pipe pipe;
  CreatePipe(&pipe.read, &pipe.write, &inherit, 0);
  SetHandleInformation(pipe.read, HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

// True once every write end of the pipe is closed, false when timeout_ms
// passed first.
bool reaches_end_of_file(HANDLE read_end, DWORD timeout_ms) {
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  for (;;) {
    char byte = 0;
    DWORD available = 0;
    if (!PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr)) {
      return GetLastError() == ERROR_BROKEN_PIPE;
    }
    DWORD got = 0;
    if (available > 0) ReadFile(read_end, &byte, 1, &got, nullptr);
    if (GetTickCount64() >= until) return false;
    Sleep(20);
  }
}

// A caller that captures the launcher's output (a script, an installer's
// "run the app when done") must be free once the launcher exits, even while
// the application runs on: the application inherits the start log and the
// standard input, never the launcher's other handles.
TEST_F(Launcher, CallerCapturingTheOutputIsNotHeldByTheApplication) {
  write_file(root_ + L"\\out.txt", "to the log\n");
  tell_standin({record_path(), root_ + L"\\out.txt", L"and its errors", L"60000", L"0"});
  Pipe output = inheritable_pipe();
  Pipe other = inheritable_pipe();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output.write;
  startup.hStdError = output.write;
  PROCESS_INFORMATION info = {};
  std::wstring command_line = L"velmarrow.exe";
  ASSERT_TRUE(CreateProcessW(launcher().c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &info));
  CloseHandle(info.hThread);
  CloseHandle(output.write);
  CloseHandle(other.write);
  Started started;
  started.process = info.hProcess;
  EXPECT_EQ(wait_for_exit(started, 15000), 0u);

  // Generous against a busy machine, and far short of the application's 60 s.
  EXPECT_TRUE(reaches_end_of_file(output.read, 8000)) << "standard output and error";
  EXPECT_TRUE(reaches_end_of_file(other.read, 2000)) << "another inheritable handle";
  auto record = read_record(record_path());
  ASSERT_EQ(record[L"pid"].size(), 1u);
  const DWORD pid = wcstoul(record[L"pid"][0].c_str(), nullptr, 10);
  EXPECT_TRUE(process_running(pid)) << "the application must still run";
  EXPECT_EQ(read_file(log_path()), "to the log\nand its errors");
  CloseHandle(output.read);
  CloseHandle(other.read);
  HANDLE java = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  TerminateProcess(java, 0);
  WaitForSingleObject(java, 5000);
  CloseHandle(java);
}

struct LogCase {
  const char* name;
  std::string bytes;
  std::wstring shown;  // what follows the base text in the box
};

// Keeps test names readable: the bytes are long and binary.
void PrintTo(const LogCase& log_case, std::ostream* out) { *out << log_case.name; }

class LauncherLog : public Launcher, public testing::WithParamInterface<LogCase> {};

TEST_P(LauncherLog, ShowsTheBeginningOfTheLog) {
  write_file(root_ + L"\\out.txt", GetParam().bytes);
  tell_standin({L"", root_ + L"\\out.txt", L"", L"", L"1"});
  const Outcome outcome = run_to_exit(launcher(), L"velmarrow.exe");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kClosedEarly + GetParam().shown);
  EXPECT_EQ(outcome.exit_code, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Excerpts, LauncherLog,
    testing::Values(
        LogCase{"AsciiCutAt699", std::string(650, 'a') + std::string(400, 'b'),
                L"\n\n" + std::wstring(650, L'a') + std::wstring(49, L'b')},
        LogCase{"Utf8", "Fehler: Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93\n", L"\n\nFehler: Grüße ✓\n"},
        // The read ends inside the last ✓: that character goes, the rest stays UTF-8.
        LogCase{"Utf8CutInsideACharacter", std::string(697, 'x') + "\xE2\x9C\x93 tail",
                L"\n\n" + std::wstring(697, L'x')},
        LogCase{"Ansi", "Gr\xFC\xDF" "e aus K\xF6ln", L"\n\nGrüße aus Köln"},
        LogCase{"Empty", "", L""},
        LogCase{"StartsWithZeroByte", std::string("\0after", 6), L"\n\n"}),
    [](const testing::TestParamInfo<LogCase>& info) { return std::string(info.param.name); });

// 259 is what GetExitCodeProcess reports for a running process; a process that
// has ended with it has still failed to start.
TEST_F(Launcher, ExitCode259WithinTheWatchIsAFailedStart) {
  const Outcome outcome = launch_exiting(L"velmarrow.exe", L"259");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kClosedEarly);
  EXPECT_EQ(outcome.exit_code, 1u);
}

// While another process holds the log, this launch cannot create it: what is
// in the file then says nothing about this start.
TEST_F(Launcher, LogHeldByAnotherProcessIsNotQuoted) {
  write_file(log_path(), "output of an earlier run");
  HANDLE held = CreateFileW(log_path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  write_file(root_ + L"\\out.txt", "this start");
  tell_standin({record_path(), root_ + L"\\out.txt", L"", L"", L"1"});
  const Outcome outcome = run_to_exit(launcher(), L"velmarrow.exe");
  CloseHandle(held);
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kClosedEarly);
  EXPECT_EQ(outcome.exit_code, 1u);
  EXPECT_EQ(read_file(log_path()), "output of an earlier run");
  EXPECT_EQ(read_record(record_path())[L"cwd"][0], install_) << "the start itself goes on";
}

TEST_F(Launcher, MissingRuntimeSaysTheFilesAreIncomplete) {
  DeleteFileW((install_ + L"\\runtime\\bin\\javaw.exe").c_str());
  const Outcome outcome = run_to_exit(launcher(), L"velmarrow.exe");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kIncomplete);
  EXPECT_TRUE(outcome.box_icons[0]);
  EXPECT_EQ(outcome.exit_code, 1u);
  EXPECT_FALSE(path_exists(log_path()));
}

TEST_F(Launcher, RuntimeThatCannotBeStartedSaysSo) {
  // A directory of that name passes the presence check but cannot be started.
  DeleteFileW((install_ + L"\\runtime\\bin\\javaw.exe").c_str());
  CreateDirectoryW((install_ + L"\\runtime\\bin\\javaw.exe").c_str(), nullptr);
  const Outcome outcome = run_to_exit(launcher(), L"velmarrow.exe");
  ASSERT_EQ(outcome.boxes.size(), 1u);
  EXPECT_EQ(outcome.boxes[0], kCouldNotStart);
  EXPECT_EQ(outcome.exit_code, 1u);
}

// The runtime path adds 22 characters to the install directory: at 237 it
// composes (259 characters), at 238 the launcher ends silently.
TEST(LauncherPaths, LongestInstallDirectoryStillStarts) {
  for (size_t length : {237u, 238u}) {
    const std::wstring root = new_temp_root();
    std::wstring install = root + L"\\";
    install += std::wstring(length - install.size() - 10, L'd') + L"\\Velmarrow";
    ASSERT_EQ(install.size(), length);
    lay_out_installation(install);
    tell_standin({root + L"\\record.txt", L"", L"", L"", L"1"});
    const Outcome outcome = run_to_exit(install + L"\\velmarrow.exe", L"velmarrow.exe");
    tell_standin({});
    EXPECT_EQ(outcome.exit_code, 1u) << length;
    if (length == 237) {
      ASSERT_EQ(outcome.boxes.size(), 1u);
      EXPECT_EQ(outcome.boxes[0], kClosedEarly);
      EXPECT_TRUE(path_exists(root + L"\\record.txt"));
    } else {
      EXPECT_TRUE(outcome.boxes.empty());
      EXPECT_FALSE(path_exists(root + L"\\record.txt"));
    }
    remove_tree(root);
  }
}

}  // namespace
