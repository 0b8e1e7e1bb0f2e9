// What the end-to-end tests share: laying out a real installation in a
// temporary folder, starting the real programs with exact command lines, and
// reading and answering their message boxes.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

// The current user's uninstall registrations: the installation's own key, and
// a sibling's that nothing of ours may touch.
extern const std::wstring kKey;
extern const std::wstring kSiblingKey;
// What the uninstaller asks before it removes anything.
extern const std::wstring kQuestion;

// The value of an environment variable; empty when it is unset or longer than MAX_PATH.
std::wstring environment_variable(const wchar_t* name);
// The folder that holds the test program and the built programs beside it.
std::wstring programs_directory();
// A new, empty, uniquely named folder under the temporary directory.
std::wstring new_temp_root();
void make_directories(const std::wstring& path);
bool write_file(const std::wstring& path, const std::string& bytes);
std::string read_file(const std::wstring& path);
bool path_exists(const std::wstring& path);
// Waits until nothing exists at path; false when it is still there after timeout_ms.
bool wait_until_gone(const std::wstring& path, DWORD timeout_ms);
bool copy_program(const std::wstring& name, const std::wstring& to);
void remove_tree(const std::wstring& path);

// Keys under HKEY_CURRENT_USER of the test prefix.
bool create_user_key(const std::wstring& subkey);
bool user_key_exists(const std::wstring& subkey);
void delete_user_key(const std::wstring& subkey);

// Lays out install_directory with the real velmarrow.exe and uninstall.exe (when
// built) and the stand-in as runtime\bin\javaw.exe unless with_runtime is false.
void lay_out_installation(const std::wstring& install_directory, bool with_runtime = true);

// The stand-in's instructions; empty values are removed from the environment.
struct Standin {
  std::wstring record;
  std::wstring output;
  std::wstring error;
  std::wstring sleep_ms;
  std::wstring exit_code;
};
void tell_standin(const Standin& standin);

// What the stand-in wrote about itself: each key's values in order.
std::map<std::wstring, std::vector<std::wstring>> read_record(const std::wstring& path);

struct Started {
  HANDLE process = nullptr;
  DWORD pid = 0;
  ULONGLONG started_at = 0;
};
// Starts program with this exact command line; stdin_file, when given, becomes
// its standard input. process is null when the start failed. An empty program
// is taken from the command line, as the shell runs a registered command.
Started start(const std::wstring& program, const std::wstring& command_line,
              HANDLE stdin_file = nullptr);

// The visible dialog with this title (by default the programs' boxes, titled
// "Library by Velmarrow") that the process shows, or null when the process
// ended or timeout_ms passed first.
HWND wait_for_box(const Started& started, DWORD timeout_ms, const wchar_t* title = L"Library by Velmarrow");
std::wstring box_text(HWND box);
bool box_has_icon(HWND box);
// Control ids of the box's push buttons, and the one that is the default.
std::vector<int> box_buttons(HWND box);
int box_default_button(HWND box);
void press(HWND box, int button_id);

// Waits for the process to end and closes it; returns its exit code, or
// STILL_ACTIVE after timeout_ms (the process is then ended).
DWORD wait_for_exit(Started& started, DWORD timeout_ms);
bool process_running(DWORD pid);

// A run from start to exit that answers every box with answer and collects them.
struct Outcome {
  std::vector<std::wstring> boxes;
  std::vector<bool> box_icons;
  std::vector<std::vector<int>> box_button_ids;
  std::vector<int> box_defaults;
  ULONGLONG first_box_after_ms = 0;
  DWORD exit_code = STILL_ACTIVE;
};
Outcome run_to_exit(const std::wstring& program, const std::wstring& command_line,
                    int answer = IDOK, DWORD timeout_ms = 15000, HANDLE stdin_file = nullptr);

}  // namespace e2e
