// Ending the installation's running launcher and Java processes.
#pragma once

#include <wchar.h>

// True when image_path lies inside install_directory: it starts with the
// directory, compared case-insensitively, followed by a backslash or its end
// (so C:\X\Velmarrow2\... is outside C:\X\Velmarrow). Calls nothing of the
// platform.
bool image_path_in_directory(const wchar_t* image_path, const wchar_t* install_directory);

// Ends, with exit code 0 and without waiting, every process named javaw.exe or
// velmarrow.exe whose image lies inside install_directory. Every failure is
// silent: a process that cannot be opened, queried or ended is left running.
void sweep_install_processes(const wchar_t* install_directory);
