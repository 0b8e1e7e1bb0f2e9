// The uninstaller's command tail and the mode it selects.
#pragma once

#include <wchar.h>

// The command line without the program name and the blanks after it. The name
// ends at the first character of code 32 or less outside double quotes (each
// quote toggles; there is no escape; the end of the text ends it even inside
// quotes); characters of codes 1 to 32 after it are skipped. A null command
// line gives an empty tail. Calls nothing of the platform.
const wchar_t* command_tail(const wchar_t* command_line);

// True when the tail contains "/S" or "/silent" anywhere, in exactly that
// letter case; false for a null tail. Calls nothing of the platform.
bool is_silent_command_tail(const wchar_t* tail);
