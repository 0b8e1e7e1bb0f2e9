// Whether the uninstaller runs from a real installation.
#pragma once

#include <wchar.h>

// True when the last component of install_directory (the text after its last
// backslash, or all of it) is "Velmarrow" in any letter case. Calls nothing
// of the platform.
bool has_install_folder_name(const wchar_t* install_directory);

// True when install_directory has the install folder's name and holds an entry
// named velmarrow.exe. False when either fails or the launcher path does not
// compose (260 characters or more).
bool verify_install_directory(const wchar_t* install_directory);
