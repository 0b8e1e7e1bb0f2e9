// Brings up one message box of the real programs in a real installation, so
// that render-dialogs.sh can photograph it from the X side.
//
// usage: dialogs.exe CASE SIGNAL_DIRECTORY
//   velmarrow.exe, uninstall.exe, standin.exe and needs-absent-library.exe lie
//   beside this program.
// When the box of CASE is up, its X window id goes to SIGNAL\window.txt; the
// box is answered once SIGNAL\captured.txt appears. Exit code 0: captured;
// 2: the box that came was not the one of CASE (its text is printed).
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace e2e;

constexpr DWORD kBoxTimeoutMs = 20000;
constexpr DWORD kCaptureTimeoutMs = 30000;

void print_utf8(const std::wstring& text) {
  char bytes[16384];
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
  if (length > 0) fputs(bytes, stdout);
  fflush(stdout);
}

// The box is drawn only once Wine has painted it: a capture taken the moment it
// becomes visible can show an empty frame.
void let_it_paint(HWND box) {
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(500);
}

bool hand_over_for_capture(HWND box, const std::wstring& signal) {
  let_it_paint(box);
  // Wine's X11 driver keeps the X window of each top-level window in this property.
  const auto x_window = reinterpret_cast<ULONG_PTR>(GetPropW(box, L"__wine_x11_whole_window"));
  const std::wstring captured = signal + L"\\captured.txt";
  DeleteFileW(captured.c_str());
  write_file(signal + L"\\window.txt", std::to_string(x_window) + "\n");
  const ULONGLONG until = GetTickCount64() + kCaptureTimeoutMs;
  while (GetFileAttributesW(captured.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount64() >= until) return false;
    Sleep(50);
  }
  return true;
}

struct Scene {
  std::wstring root;
  std::wstring install;
};

struct Case {
  const wchar_t* name;
  const wchar_t* program;  // inside the install directory
  void (*prepare)(const Scene&);
  std::vector<int> answers;  // one for each box, in order
  size_t captured_box;
  std::wstring text;
};

void no_runtime(const Scene& scene) { DeleteFileW((scene.install + L"\\runtime\\bin\\javaw.exe").c_str()); }

void runtime_is_a_directory(const Scene& scene) {
  no_runtime(scene);
  CreateDirectoryW((scene.install + L"\\runtime\\bin\\javaw.exe").c_str(), nullptr);
}

// What the Java runtime prints when the class path holds no application.
constexpr const char* kJavaOutput =
    "Error: Could not find or load main class com.tarnwick.velmarrow.desktop.MainKt\r\n"
    "Caused by: java.lang.ClassNotFoundException: com.tarnwick.velmarrow.desktop.MainKt\r\n";

void runtime_exits_at_once(const Scene& scene) {
  const std::wstring output = scene.root + L"\\java-output.txt";
  write_file(output, kJavaOutput);
  SetEnvironmentVariableW(L"STANDIN_OUTPUT", output.c_str());
  SetEnvironmentVariableW(L"STANDIN_EXIT", L"1");
}

void runtime_needs_an_absent_dll(const Scene& scene) {
  copy_program(L"needs-absent-library.exe", scene.install + L"\\runtime\\bin\\javaw.exe");
}

void no_launcher(const Scene& scene) { DeleteFileW((scene.install + L"\\velmarrow.exe").c_str()); }

void installed(const Scene&) {}

const std::wstring kClosedEarly = L"Library by Velmarrow closed before the window opened.";
const std::wstring kMissingLibrary =
    L"Windows is missing a library this app needs. Install the Microsoft Visual C++ 2015-2022 runtime, "
    L"then open Library by Velmarrow again.";

const Case kCases[] = {
    {L"launcher-runtime-missing", L"velmarrow.exe", no_runtime, {IDOK}, 0,
     L"The app files are incomplete. Install Library by Velmarrow again."},
    {L"launcher-could-not-start", L"velmarrow.exe", runtime_is_a_directory, {IDOK}, 0,
     L"Library by Velmarrow could not start."},
    {L"launcher-closed-early", L"velmarrow.exe", runtime_exits_at_once, {IDOK}, 0,
     kClosedEarly + L"\n\n" + std::wstring(kJavaOutput, kJavaOutput + strlen(kJavaOutput))},
    {L"launcher-missing-library", L"velmarrow.exe", runtime_needs_an_absent_dll, {IDOK}, 0, kMissingLibrary},
    // For a runtime that Wine refuses to load: render-dialogs.sh disables it in
    // Wine's load order, which only the environment Wine starts with can do.
    {L"launcher-missing-library-refused", L"velmarrow.exe", installed, {IDOK}, 0, kMissingLibrary},
    {L"uninstall-question", L"uninstall.exe", installed, {IDNO}, 0,
     L"Uninstall Library by Velmarrow from this PC?"},
    {L"uninstall-removed", L"uninstall.exe", installed, {IDYES, IDOK}, 1,
     L"Library by Velmarrow has been removed from this PC."},
    {L"uninstall-not-found", L"uninstall.exe", no_launcher, {IDOK}, 0,
     L"Library by Velmarrow could not find its installed files."},
};

int run(const Case& scene_case, const std::wstring& signal) {
  Scene scene;
  scene.root = new_temp_root();
  scene.install = scene.root + L"\\Velmarrow";
  // The uninstaller deletes the Start Menu shortcut under APPDATA: keep it to the scene.
  const std::wstring app_data = scene.root + L"\\AppData\\Roaming";
  make_directories(app_data);
  SetEnvironmentVariableW(L"APPDATA", app_data.c_str());
  lay_out_installation(scene.install);
  scene_case.prepare(scene);

  const std::wstring program = scene.install + L"\\" + scene_case.program;
  Started process = start(program, L"\"" + program + L"\"");
  if (process.process == nullptr) {
    print_utf8(L"cannot start " + program + L"\n");
    remove_tree(scene.root);
    return 1;
  }

  int result = 1;
  for (size_t index = 0; index < scene_case.answers.size(); ++index) {
    HWND box = wait_for_box(process, kBoxTimeoutMs);
    if (box == nullptr) {
      print_utf8(L"no box came\n");
      break;
    }
    if (index == scene_case.captured_box) {
      const std::wstring text = box_text(box);
      if (text != scene_case.text) {
        print_utf8(L"another box came: " + text + L"\n");
        result = 2;
        press(box, IDOK);
        break;
      }
      if (!hand_over_for_capture(box, signal)) {
        print_utf8(L"no capture came\n");
        break;
      }
      result = 0;
    }
    press(box, scene_case.answers[index]);
    while (IsWindow(box) && WaitForSingleObject(process.process, 20) == WAIT_TIMEOUT) {
    }
  }
  wait_for_exit(process, 10000);
  // The uninstaller has a hidden cmd.exe remove the install directory a few
  // seconds after it ended; let that finish before the scene goes.
  const ULONGLONG until = GetTickCount64() + 8000;
  while (scene_case.program == std::wstring(L"uninstall.exe") && result == 0 &&
         GetFileAttributesW(scene.install.c_str()) != INVALID_FILE_ATTRIBUTES && GetTickCount64() < until) {
    Sleep(100);
  }
  remove_tree(scene.root);
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && wcscmp(argv[1], L"--list") == 0) {
    for (const Case& scene_case : kCases) print_utf8(std::wstring(scene_case.name) + L"\n");
    return 0;
  }
  if (argc != 3) {
    print_utf8(L"usage: dialogs.exe CASE SIGNAL_DIRECTORY | --list\n");
    return 1;
  }
  for (const Case& scene_case : kCases) {
    if (scene_case.name == std::wstring(argv[1])) return run(scene_case, argv[2]);
  }
  print_utf8(L"unknown case\n");
  return 1;
}
