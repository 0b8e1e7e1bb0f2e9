// Ending the installation's running launcher and Java processes.
#pragma once

#include <wchar.h>

// True when image_path lies inside install_directory: it starts with the
// directory, compared case-insensitively, followed by a backslash or its end
// (so C:\X\Velmarrow2\... is outside C:\X\Velmarrow). Calls nothing of the
// platform.
bool image_path_in_directory(const wchar_t* image_path, const wchar_t* install_directory);

// Cuts path, in place, to the folder that holds it: at its last backslash,
// which goes, except that a drive's root keeps it (C:\X gives C:\, and
// \\?\C:\X gives \\?\C:\). Returns false, path unchanged, when path is not
// absolute (it starts neither with a drive letter, a colon and a backslash
// nor with \\) or no folder is left to name (a drive's root, \\server). Each cut
// shortens the text. Calls nothing of the platform.
bool cut_to_parent_folder(wchar_t* path);

// Ends, with exit code 0 and without waiting, every process named javaw.exe or
// velmarrow.exe whose image lies inside install_directory: by its text, or,
// when it was started through another name of the same folder (another drive
// letter, a junction), because the folder that holds the image or one of that
// folder's ancestors is the install directory itself. Every failure is
// silent: a process that cannot be opened, queried or ended is left running,
// and when the install directory's own identity cannot be read only the text
// counts.
void sweep_install_processes(const wchar_t* install_directory);
