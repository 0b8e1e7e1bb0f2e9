// Removing what the installation left: the Start Menu shortcut, the
// registration key, and last the install directory itself.
#pragma once

#include <stddef.h>
#include <wchar.h>

constexpr size_t kRemovalCommandCapacity = 1600;

// Deletes the per-user Start Menu shortcut under APPDATA. Does nothing when
// APPDATA is unset, empty or too long for the path; a failed deletion is silent.
void delete_start_menu_shortcut();

// Deletes the per-user registration key (only that key: one with subkeys
// stays). A failure is silent.
void delete_registration_key();

// Writes into command (1600 characters) the command line that makes cmd.exe
// wait a few seconds, then remove install_directory with everything in it.
// The command turns delayed expansion off, so a '!' in the path stays a '!'.
// Returns false, command empty, when the text does not fit or when
// install_directory holds a '%': cmd expands %NAME% even inside quotes and no
// switch turns that off, so the command could remove some other directory.
// Calls nothing of the platform.
bool compose_removal_command(wchar_t* command, const wchar_t* system_directory,
                             const wchar_t* install_directory);

// Starts the removal command in a hidden cmd.exe and returns without waiting.
// When the system directory is unavailable, the command does not compose or
// the process cannot be started, the install directory simply stays.
void schedule_directory_removal(const wchar_t* install_directory);
