// Times the real programs under Wine and prints one table:
//   (a) velmarrow.exe started to the runtime's first instruction, without and
//       with arguments, against a program that does nothing but start the
//       runtime (bare.exe) and against the same program importing user32 and
//       shell32 as a launcher that links them would (full_import_floor.exe)
//   (b) the runtime's early exit to the launcher's failure box on screen
//   (c) uninstall.exe /S from start to exit, with and without its fixed pause
// Every time comes from QueryPerformanceCounter, which Wine keeps one across
// processes, so the stand-in runtime's own stamps can be set against ours.
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace e2e;

constexpr int kRuns = 21;
// The first starts fill Wine's caches; they would only show the cold start.
constexpr int kWarmUpRuns = 2;
constexpr DWORD kTimeoutMs = 15000;
constexpr double kUninstallPauseMs = 400.0;
// Lets Wine finish tearing down the last run's processes before the next.
constexpr DWORD kSettleMs = 50;
constexpr const wchar_t* kBoxTitle = L"Library by Velmarrow";
const std::wstring kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Library by Velmarrow";

std::string narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

LONGLONG counter_now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

double milliseconds(LONGLONG counts) {
  static const double per_ms = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  return static_cast<double>(counts) / per_ms;
}

struct Timed {
  HANDLE process = nullptr;
  DWORD pid = 0;
  LONGLONG started_at = 0;
};

// The stamp is taken with everything but the call itself already prepared.
Timed start_timed(const std::wstring& program, const std::wstring& arguments = L"") {
  std::wstring command_line = L"\"" + program + L"\"" + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Timed timed;
  timed.started_at = counter_now();
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    fail("could not start " + narrow(program));
  }
  CloseHandle(info.hThread);
  timed.process = info.hProcess;
  timed.pid = info.dwProcessId;
  return timed;
}

DWORD finish(Timed& timed, const char* what) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(timed.process, kTimeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(timed.process, &code);
  if (code == STILL_ACTIVE) {
    TerminateProcess(timed.process, 1);
    fail(std::string(what) + " did not end");
  }
  return code;
}

void close(Timed& timed) {
  if (timed.process != nullptr) CloseHandle(timed.process);
  timed.process = nullptr;
}

// Empty until the stand-in has written it, which it does in one go.
bool read_stamp(const std::wstring& path, LONGLONG& stamp) {
  const std::string text = read_file(path);
  if (text.empty()) return false;
  stamp = _strtoi64(text.c_str(), nullptr, 10);
  return true;
}

// Polled slowly: the measured start runs meanwhile and should share the
// machine with as little as possible.
// The starting program may end before the runtime's stamp is there: the
// bare and floor programs do so always.
LONGLONG wait_for_stamp(const std::wstring& path, const char* what) {
  const ULONGLONG until = GetTickCount64() + kTimeoutMs;
  LONGLONG stamp = 0;
  while (!read_stamp(path, stamp)) {
    if (GetTickCount64() >= until) fail(std::string("the runtime never started under ") + what);
    Sleep(20);
  }
  return stamp;
}

// The processes that pid started, and theirs, as one snapshot sees them.
std::vector<DWORD> descendants_of(DWORD pid) {
  std::vector<std::pair<DWORD, DWORD>> parents;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    parents.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
  }
  CloseHandle(snapshot);
  std::set<DWORD> found;
  std::vector<DWORD> order;
  std::vector<DWORD> pending = {pid};
  while (!pending.empty()) {
    const DWORD parent = pending.back();
    pending.pop_back();
    for (const auto& [child, its_parent] : parents) {
      if (its_parent == parent && child != pid && found.insert(child).second) {
        order.push_back(child);
        pending.push_back(child);
      }
    }
  }
  return order;
}

// Ends (or, with end false, waits out) what a run left running, so that no
// run pays for the one before it.
void settle_descendants(DWORD pid, bool end) {
  for (DWORD child : descendants_of(pid)) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, child);
    if (process == nullptr) continue;
    if (end || WaitForSingleObject(process, kTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    WaitForSingleObject(process, kTimeoutMs);
    CloseHandle(process);
  }
}

HWND visible_box_of(DWORD pid) {
  for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", kBoxTitle); box != nullptr;
       box = FindWindowExW(nullptr, box, L"#32770", kBoxTitle)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    if (owner == pid && IsWindowVisible(box)) return box;
  }
  return nullptr;
}

// Answers the launcher's failure box and waits for the launcher to end.
void dismiss_failure(Timed& timed) {
  Started started;
  started.process = timed.process;
  started.pid = timed.pid;
  HWND box = wait_for_box(started, kTimeoutMs);
  if (box == nullptr) fail("velmarrow.exe showed no failure box");
  press(box, IDOK);
  if (finish(timed, "velmarrow.exe") != 1) fail("velmarrow.exe did not report the failed start");
}

struct Stats {
  double median = 0;
  double low = 0;
  double high = 0;
};

Stats stats_of(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  return {median, samples.front(), samples.back()};
}

std::string cell(const Stats& stats) {
  char text[64];
  snprintf(text, sizeof text, "%.1f (%.1f - %.1f)", stats.median, stats.low, stats.high);
  return text;
}

std::string ratio(const Stats& measured, const Stats& against) {
  char text[16];
  snprintf(text, sizeof text, "%.2f", measured.median / against.median);
  return text;
}

void row(const std::string& what, const std::string& velmarrow, const std::string& bare = "",
         const std::string& floor = "", const std::string& to_bare = "", const std::string& floor_to_bare = "") {
  printf("| %-47s | %-22s | %-22s | %-22s | %7s | %7s |\n", what.c_str(), velmarrow.c_str(), bare.c_str(),
         floor.c_str(), to_bare.c_str(), floor_to_bare.c_str());
}

// The programs that start the runtime, each laid out in a folder of its own
// with the stand-in as its runtime.
enum Starter { kVelmarrow, kBare, kFloor, kStarterCount };

class Bench {
 public:
  Bench() : root_(new_temp_root()) {}
  ~Bench() {
    tell_standin({});
    SetEnvironmentVariableW(L"STANDIN_STARTED", nullptr);
    SetEnvironmentVariableW(L"STANDIN_ENDED", nullptr);
    delete_user_key(kUninstallKey);
    remove_tree(root_);
  }

  // (a): the three take turns, each run in another order, so that a change
  // in the machine's load falls on all alike.
  void time_starts() {
    const std::wstring install = root_ + L"\\Velmarrow";
    lay_out_installation(install);
    starters_[kVelmarrow] = install + L"\\velmarrow.exe";
    const wchar_t* const others[] = {L"bare.exe", L"full_import_floor.exe"};
    for (int other = 0; other < 2; ++other) {
      const std::wstring folder = root_ + L"\\" + std::to_wstring(other);
      starters_[kBare + other] = folder + L"\\" + others[other];
      if (!copy_program(others[other], starters_[kBare + other]) ||
          !copy_program(L"standin.exe", folder + L"\\runtime\\bin\\javaw.exe")) {
        fail("could not lay out " + narrow(others[other]));
      }
    }
    tell_standins_to_exit_at_once();
    for (int with_arguments = 0; with_arguments < 2; ++with_arguments) {
      const std::wstring arguments = with_arguments ? L" --open \"C:\\Users\\Me\\My Library.db\"" : L"";
      for (int run = 0; run < kWarmUpRuns + kRuns; ++run) {
        for (int turn = 0; turn < kStarterCount; ++turn) {
          const int starter = (run + turn) % kStarterCount;
          const double took = time_start(static_cast<Starter>(starter), arguments);
          if (run >= kWarmUpRuns) starts_[with_arguments][starter].push_back(took);
        }
      }
    }
  }

  // (b): polled about every millisecond from the start, so that the box is
  // seen as soon as it is there.
  void time_failure_boxes() {
    const std::wstring launcher = root_ + L"\\Velmarrow\\velmarrow.exe";
    tell_standins_to_exit_at_once();
    LONGLONG polling = 0;
    long polls = 0;
    for (int run = 0; run < kWarmUpRuns + kRuns; ++run) {
      clear_stamps();
      Timed timed = start_timed(launcher);
      const ULONGLONG until = GetTickCount64() + kTimeoutMs;
      const LONGLONG first_poll = counter_now();
      long these_polls = 0;
      HWND box = nullptr;
      while ((box = visible_box_of(timed.pid)) == nullptr) {
        if (GetTickCount64() >= until || WaitForSingleObject(timed.process, 0) == WAIT_OBJECT_0) {
          fail("velmarrow.exe showed no failure box");
        }
        Sleep(1);
        ++these_polls;
      }
      const LONGLONG seen_at = counter_now();
      LONGLONG ended_at = 0;
      if (!read_stamp(ended_, ended_at)) fail("the runtime left no stamp of its exit");
      dismiss_failure(timed);
      settle(timed, false);
      if (run >= kWarmUpRuns) {
        failure_boxes_.push_back(milliseconds(seen_at - ended_at));
        polling += seen_at - first_poll;
        polls += these_polls;
      }
    }
    poll_interval_ms_ = polls > 0 ? milliseconds(polling) / static_cast<double>(polls) : 0;
  }

  // (c): each run in a fresh installation with its registration key and its
  // own Start Menu.
  void time_uninstalls() {
    for (int run = 0; run < kWarmUpRuns + kRuns; ++run) {
      const std::wstring run_root = root_ + L"\\uninstall-" + std::to_wstring(run);
      const std::wstring install = run_root + L"\\Velmarrow";
      const std::wstring app_data = run_root + L"\\AppData\\Roaming";
      const std::wstring programs = app_data + L"\\Microsoft\\Windows\\Start Menu\\Programs";
      lay_out_installation(install);
      make_directories(programs);
      write_file(programs + L"\\Library by Velmarrow.lnk", "shortcut");
      if (!create_user_key(kUninstallKey)) fail("could not create the registration key");
      SetEnvironmentVariableW(L"APPDATA", app_data.c_str());

      Timed timed = start_timed(install + L"\\uninstall.exe", L" /S");
      const bool ended = WaitForSingleObject(timed.process, kTimeoutMs) == WAIT_OBJECT_0;
      const LONGLONG ended_at = counter_now();
      if (!ended || finish(timed, "uninstall.exe") != 0) fail("uninstall.exe /S failed");
      if (user_key_exists(kUninstallKey)) fail("uninstall.exe /S left the registration key");
      // Its deferred removal of the folder is no part of the time, and would
      // otherwise still run into the runs after it.
      settle(timed, true);
      remove_tree(run_root);
      if (run >= kWarmUpRuns) uninstalls_.push_back(milliseconds(ended_at - timed.started_at));
    }
  }

  void print() const {
    const Stats uninstall = stats_of(uninstalls_);
    const Stats paused_less = {uninstall.median - kUninstallPauseMs, uninstall.low - kUninstallPauseMs,
                               uninstall.high - kUninstallPauseMs};
    row("ms, median (range) of " + std::to_string(kRuns) + " runs", "velmarrow.exe", "bare", "full-import floor",
        "v / bare", "f / bare");
    printf("|%s|%s|%s|%s|%s:|%s:|\n", std::string(49, '-').c_str(), std::string(24, '-').c_str(),
           std::string(24, '-').c_str(), std::string(24, '-').c_str(), std::string(8, '-').c_str(),
           std::string(8, '-').c_str());
    const char* const start_rows[] = {"(a) start to the runtime's first instruction",
                                      "(a) the same, with two arguments"};
    for (int with_arguments = 0; with_arguments < 2; ++with_arguments) {
      const Stats velmarrow = stats_of(starts_[with_arguments][kVelmarrow]);
      const Stats bare = stats_of(starts_[with_arguments][kBare]);
      const Stats floor = stats_of(starts_[with_arguments][kFloor]);
      row(start_rows[with_arguments], cell(velmarrow), cell(bare), cell(floor), ratio(velmarrow, bare),
          ratio(floor, bare));
    }
    row("(b) runtime's exit to the failure box on screen", cell(stats_of(failure_boxes_)));
    row("(c) uninstall.exe /S, start to exit", cell(uninstall));
    row("(c) the same less its fixed 400 ms pause", cell(paused_less));
    printf("\n(b) polled for the box every %.1f ms on average; %d warm-up runs of each were not counted.\n",
           poll_interval_ms_, kWarmUpRuns);
    fflush(stdout);
  }

 private:
  void tell_standins_to_exit_at_once() {
    tell_standin({L"", L"", L"", L"", L"1"});
    SetEnvironmentVariableW(L"STANDIN_STARTED", started_.c_str());
    SetEnvironmentVariableW(L"STANDIN_ENDED", ended_.c_str());
  }

  void clear_stamps() {
    DeleteFileW(started_.c_str());
    DeleteFileW(ended_.c_str());
  }

  double time_start(Starter starter, const std::wstring& arguments) {
    clear_stamps();
    Timed timed = start_timed(starters_[starter], arguments);
    const std::string what = narrow(starters_[starter].substr(starters_[starter].find_last_of(L'\\') + 1));
    const LONGLONG first_instruction = wait_for_stamp(started_, what.c_str());
    if (starter == kVelmarrow) {
      dismiss_failure(timed);
    } else if (finish(timed, what.c_str()) != 0) {
      fail(what + " could not start the runtime");
    }
    settle(timed, false);
    return milliseconds(first_instruction - timed.started_at);
  }

  void settle(Timed& timed, bool end_descendants) {
    settle_descendants(timed.pid, end_descendants);
    close(timed);
    Sleep(kSettleMs);
  }

  std::wstring root_;
  std::wstring started_ = root_ + L"\\started.txt";
  std::wstring ended_ = root_ + L"\\ended.txt";
  std::wstring starters_[kStarterCount];
  // Without and with arguments, each starter's samples.
  std::vector<double> starts_[2][kStarterCount];
  std::vector<double> failure_boxes_;
  std::vector<double> uninstalls_;
  double poll_interval_ms_ = 0;
};

}  // namespace

int wmain() {
  try {
    Bench bench;
    bench.time_starts();
    bench.time_failure_boxes();
    bench.time_uninstalls();
    bench.print();
  } catch (const std::exception& error) {
    fprintf(stderr, "bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
