// Brings up one message box of the real programs in a real installation, so
// that render-dialogs.sh can photograph it from the X side.
//
// usage: dialogs.exe PROGRAMS_DIRECTORY CASE SIGNAL_DIRECTORY
//   PROGRAMS_DIRECTORY holds velmarrow.exe and uninstall.exe; standin.exe and
//   needs-absent-library.exe lie beside this program.
// When the box of CASE is up, its X window id goes to SIGNAL\window.txt; the
// box is answered once SIGNAL\captured.txt appears. Exit code 0: captured;
// 2: the box that came was not the one of CASE (its text is printed).
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kBoxTitle = L"Library by Velmarrow";
constexpr DWORD kBoxTimeoutMs = 20000;
constexpr DWORD kCaptureTimeoutMs = 30000;

std::wstring directory_of(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring own_directory() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return directory_of(path);
}

void make_directories(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

bool write_file(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool copy_to(const std::wstring& from, const std::wstring& to) {
  make_directories(directory_of(to));
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

void remove_tree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

std::wstring new_temp_root() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (unsigned counter = 0;; ++counter) {
    const std::wstring root = std::wstring(temp) + L"velmarrow-dialogs-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(counter);
    if (CreateDirectoryW(root.c_str(), nullptr)) return root;
  }
}

struct BoxSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK match_box(HWND window, LPARAM context) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[16];
  wchar_t title[64];
  GetClassNameW(window, class_name, 16);
  GetWindowTextW(window, title, 64);
  if (owner == search->pid && wcscmp(class_name, L"#32770") == 0 && wcscmp(title, kBoxTitle) == 0 &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND wait_for_box(const PROCESS_INFORMATION& process) {
  const ULONGLONG until = GetTickCount64() + kBoxTimeoutMs;
  while (GetTickCount64() < until) {
    BoxSearch search = {process.dwProcessId, nullptr};
    EnumWindows(match_box, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

std::wstring box_text(HWND box) {
  wchar_t text[4096] = L"";
  GetDlgItemTextW(box, 0xFFFF, text, 4096);
  return text;
}

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

void press(HWND box, int button_id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button_id)));
}

struct Scene {
  std::wstring root;
  std::wstring install;
  std::wstring programs;
  std::wstring helpers;
};

void lay_out_installation(const Scene& scene) {
  make_directories(scene.install + L"\\lib");
  make_directories(scene.install + L"\\resources");
  copy_to(scene.programs + L"\\velmarrow.exe", scene.install + L"\\velmarrow.exe");
  copy_to(scene.programs + L"\\uninstall.exe", scene.install + L"\\uninstall.exe");
  copy_to(scene.helpers + L"\\standin.exe", scene.install + L"\\runtime\\bin\\javaw.exe");
}

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
  copy_to(scene.helpers + L"\\needs-absent-library.exe", scene.install + L"\\runtime\\bin\\javaw.exe");
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

int run(const Case& scene_case, const std::wstring& programs, const std::wstring& signal) {
  Scene scene;
  scene.root = new_temp_root();
  scene.install = scene.root + L"\\Velmarrow";
  scene.programs = programs;
  scene.helpers = own_directory();
  // The uninstaller deletes the Start Menu shortcut under APPDATA: keep it to the scene.
  const std::wstring app_data = scene.root + L"\\AppData\\Roaming";
  make_directories(app_data);
  SetEnvironmentVariableW(L"APPDATA", app_data.c_str());
  lay_out_installation(scene);
  scene_case.prepare(scene);

  const std::wstring program = scene.install + L"\\" + scene_case.program;
  std::wstring command_line = L"\"" + program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, scene.install.c_str(),
                      &startup, &process)) {
    print_utf8(L"cannot start " + program + L"\n");
    remove_tree(scene.root);
    return 1;
  }
  CloseHandle(process.hThread);

  int result = 1;
  for (size_t index = 0; index < scene_case.answers.size(); ++index) {
    HWND box = wait_for_box(process);
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
    while (IsWindow(box) && WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
    }
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
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
  if (argc != 4) {
    print_utf8(L"usage: dialogs.exe PROGRAMS_DIRECTORY CASE SIGNAL_DIRECTORY | --list\n");
    return 1;
  }
  for (const Case& scene_case : kCases) {
    if (scene_case.name == std::wstring(argv[2])) return run(scene_case, argv[1], argv[3]);
  }
  print_utf8(L"unknown case\n");
  return 1;
}
