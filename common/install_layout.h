// Names and paths of one installation, shared by the launcher and the
// uninstaller so that both agree on them by construction.
#pragma once

#include <stddef.h>
#include <wchar.h>

// The platform's MAX_PATH: at most 259 characters and a terminator.
constexpr size_t kPathCapacity = 260;
typedef wchar_t PathBuffer[kPathCapacity];

constexpr const wchar_t* kDisplayName = L"Library by Velmarrow";
constexpr const wchar_t* kInstallFolderName = L"Velmarrow";
constexpr const wchar_t* kLauncherFileName = L"velmarrow.exe";
constexpr const wchar_t* kJavaRuntimeFileName = L"javaw.exe";
constexpr const wchar_t* kStartLogFileName = L"velmarrow-start.log";
constexpr const wchar_t* kUninstallerFileName = L"uninstall.exe";

// Each format's %ls receives the install directory.
constexpr const wchar_t* kJavaRuntimePathFormat = L"%ls\\runtime\\bin\\javaw.exe";
constexpr const wchar_t* kStartLogPathFormat = L"%ls\\velmarrow-start.log";
constexpr const wchar_t* kLauncherPathFormat = L"%ls\\velmarrow.exe";

// The %ls receives the value of APPDATA.
constexpr const wchar_t* kAppDataVariable = L"APPDATA";
constexpr const wchar_t* kShortcutPathFormat =
    L"%ls\\Microsoft\\Windows\\Start Menu\\Programs\\Library by Velmarrow.lnk";

// Under HKEY_CURRENT_USER.
constexpr const wchar_t* kRegistrationKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Library by Velmarrow";

// Derives the install directory: module_path cut at its last backslash, the
// backslash removed ("D:\velmarrow.exe" gives "D:"). Returns false, leaving
// out empty, when the path holds no backslash or the directory does not fit.
// Calls nothing of the platform.
bool install_directory_from_module_path(const wchar_t* module_path, PathBuffer& out);

// The same for the program's own path as GetModuleFileNameW reported it with
// reported_length: also false when the length is 0 (no path) or 260 or more
// (a cut path, whose directory would be some ancestor folder, possibly holding
// another installation). Calls nothing of the platform.
bool install_directory_from_reported_module_path(const wchar_t* module_path,
                                                 unsigned long reported_length, PathBuffer& out);

// Composes one of the path formats above into out. Returns false, leaving out
// empty, when the path would take 260 characters or more.
bool compose_install_path(PathBuffer& out, const wchar_t* format, const wchar_t* directory);
