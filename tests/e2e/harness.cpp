#include "harness.h"

#include <shellapi.h>

namespace e2e {

const std::wstring kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Library by Velmarrow";
const std::wstring kSiblingKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Library by Velmarrow Beta";
const std::wstring kQuestion = L"Uninstall Library by Velmarrow from this PC?";

namespace {


std::wstring without_last_component(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\'));
}

struct BoxSearch {
  DWORD pid;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK match_box(HWND window, LPARAM context) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid) return TRUE;
  wchar_t class_name[16];
  wchar_t title[128];
  GetClassNameW(window, class_name, 16);
  GetWindowTextW(window, title, 128);
  if (wcscmp(class_name, L"#32770") == 0 && wcscmp(title, search->title) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK collect_button(HWND child, LPARAM context) {
  wchar_t class_name[16];
  GetClassNameW(child, class_name, 16);
  if (_wcsicmp(class_name, L"Button") == 0) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
  }
  return TRUE;
}

std::vector<HWND> buttons_of(HWND box) {
  std::vector<HWND> buttons;
  EnumChildWindows(box, collect_button, reinterpret_cast<LPARAM>(&buttons));
  return buttons;
}

}  // namespace

std::wstring environment_variable(const wchar_t* name) {
  wchar_t value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? L"" : value;
}

std::wstring programs_directory() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return without_last_component(path);
}

std::wstring new_temp_root() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static unsigned counter = 0;
  for (;;) {
    std::wstring root = std::wstring(temp) + L"velmarrow-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                        L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(root.c_str(), nullptr)) return root;
  }
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

std::string read_file(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool path_exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool wait_until_gone(const std::wstring& path, DWORD timeout_ms) {
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  while (path_exists(path)) {
    if (GetTickCount64() >= until) return false;
    Sleep(100);
  }
  return true;
}

bool copy_program(const std::wstring& name, const std::wstring& to) {
  make_directories(without_last_component(to));
  return CopyFileW((programs_directory() + L"\\" + name).c_str(), to.c_str(), FALSE) != 0;
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

bool create_user_key(const std::wstring& subkey) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const wchar_t name[] = L"Library by Velmarrow";
  RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
  RegCloseKey(key);
  return true;
}

bool user_key_exists(const std::wstring& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void delete_user_key(const std::wstring& subkey) {
  RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str());
}

void lay_out_installation(const std::wstring& install_directory, bool with_runtime) {
  make_directories(install_directory + L"\\lib");
  make_directories(install_directory + L"\\resources");
  copy_program(L"velmarrow.exe", install_directory + L"\\velmarrow.exe");
  if (path_exists(programs_directory() + L"\\uninstall.exe")) {
    copy_program(L"uninstall.exe", install_directory + L"\\uninstall.exe");
  }
  if (with_runtime) {
    copy_program(L"standin.exe", install_directory + L"\\runtime\\bin\\javaw.exe");
  }
}

void tell_standin(const Standin& standin) {
  const std::pair<const wchar_t*, const std::wstring*> settings[] = {
      {L"STANDIN_RECORD", &standin.record}, {L"STANDIN_OUTPUT", &standin.output},
      {L"STANDIN_ERROR", &standin.error},   {L"STANDIN_SLEEP_MS", &standin.sleep_ms},
      {L"STANDIN_EXIT", &standin.exit_code},
  };
  for (const auto& setting : settings) {
    SetEnvironmentVariableW(setting.first, setting.second->empty() ? nullptr : setting.second->c_str());
  }
}

std::map<std::wstring, std::vector<std::wstring>> read_record(const std::wstring& path) {
  const std::string bytes = read_file(path);
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  std::map<std::wstring, std::vector<std::wstring>> record;
  size_t begin = 0;
  for (size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', begin)) {
    const std::wstring line = text.substr(begin, end - begin);
    const size_t equals = line.find(L'=');
    if (equals != std::wstring::npos) record[line.substr(0, equals)].push_back(line.substr(equals + 1));
    begin = end + 1;
  }
  return record;
}

Started start(const std::wstring& program, const std::wstring& command_line, HANDLE stdin_file) {
  Started started;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (stdin_file != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = stdin_file;
  }
  PROCESS_INFORMATION info = {};
  std::wstring writable = command_line;
  started.started_at = GetTickCount64();
  if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), writable.data(), nullptr, nullptr,
                      stdin_file != nullptr, 0, nullptr, nullptr, &startup, &info)) {
    return started;
  }
  CloseHandle(info.hThread);
  started.process = info.hProcess;
  started.pid = info.dwProcessId;
  return started;
}

HWND wait_for_box(const Started& started, DWORD timeout_ms, const wchar_t* title) {
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  for (;;) {
    BoxSearch search = {started.pid, title, nullptr};
    EnumWindows(match_box, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (WaitForSingleObject(started.process, 10) == WAIT_OBJECT_0) return nullptr;
    if (GetTickCount64() >= until) return nullptr;
  }
}

std::wstring box_text(HWND box) {
  wchar_t text[4096];
  text[0] = L'\0';
  GetDlgItemTextW(box, 0xFFFF, text, 4096);
  return text;
}

bool box_has_icon(HWND box) {
  // Wine's box holds its icon in static control 1088, Windows' in 20.
  for (int id : {1088, 20}) {
    HWND icon = GetDlgItem(box, id);
    if (icon != nullptr && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0) return true;
  }
  return false;
}

std::vector<int> box_buttons(HWND box) {
  std::vector<int> ids;
  for (HWND button : buttons_of(box)) ids.push_back(GetDlgCtrlID(button));
  return ids;
}

int box_default_button(HWND box) {
  for (HWND button : buttons_of(box)) {
    if ((GetWindowLongW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) return GetDlgCtrlID(button);
  }
  return 0;
}

void press(HWND box, int button_id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button_id)));
}

DWORD wait_for_exit(Started& started, DWORD timeout_ms) {
  if (started.process == nullptr) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(started.process, timeout_ms) == WAIT_OBJECT_0) {
    GetExitCodeProcess(started.process, &code);
  } else {
    TerminateProcess(started.process, 0xDEAD);
    code = STILL_ACTIVE;
  }
  CloseHandle(started.process);
  started.process = nullptr;
  return code;
}

bool process_running(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

Outcome run_to_exit(const std::wstring& program, const std::wstring& command_line, int answer,
                    DWORD timeout_ms, HANDLE stdin_file) {
  Outcome outcome;
  Started started = start(program, command_line, stdin_file);
  if (started.process == nullptr) return outcome;
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    HWND box = wait_for_box(started, now < until ? static_cast<DWORD>(until - now) : 0);
    if (box == nullptr) break;
    if (outcome.boxes.empty()) outcome.first_box_after_ms = GetTickCount64() - started.started_at;
    outcome.boxes.push_back(box_text(box));
    outcome.box_icons.push_back(box_has_icon(box));
    outcome.box_button_ids.push_back(box_buttons(box));
    outcome.box_defaults.push_back(box_default_button(box));
    press(box, answer);
    // Wait for this box to go before looking for the next one.
    while (IsWindow(box) && WaitForSingleObject(started.process, 10) == WAIT_TIMEOUT) {
    }
  }
  const ULONGLONG now = GetTickCount64();
  outcome.exit_code = wait_for_exit(started, now < until ? static_cast<DWORD>(until - now) : 0);
  return outcome;
}

}  // namespace e2e
