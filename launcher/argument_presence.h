// Whether the launcher was given anything to forward.
#pragma once

#include <wchar.h>

// True when command_line holds an argument after the program name, by
// CommandLineToArgvW's own rule for that name: a leading double quote runs to
// the next double quote (or the end), otherwise the name ends at the first
// space or tab; anything but spaces and tabs after it is an argument. So the
// parser returns more than one element exactly when this is true. A null
// command line holds none. Calls nothing of the platform.
bool command_line_has_arguments(const wchar_t* command_line);
