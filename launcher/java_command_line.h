// The command line that starts the private Java runtime.
#pragma once

#include <stddef.h>
#include <wchar.h>

// The buffer the caller provides, and the longest text it may hold:
// CreateProcessW takes at most 32767 characters counting the terminator and
// refuses the start beyond that, so the text stops at 32766.
constexpr size_t kJavaCommandLineCapacity = 32768;
constexpr size_t kJavaCommandLineLimit = 32766;

// Writes the runtime path, the fixed system properties, the class path and the
// main class into buffer, then forwards arguments[1] to arguments[count - 1]
// (arguments[0] is the launcher's own name; a null list forwards nothing).
// Each forwarded argument is quoted so that the Windows argument parsers give
// back exactly that argument. Returns false, leaving buffer empty, when the
// fixed part does not fit; forwarded arguments past 32766 characters are cut
// there without failing. Calls nothing of the platform.
bool compose_java_command_line(wchar_t* buffer, const wchar_t* runtime_path,
                               const wchar_t* install_directory,
                               const wchar_t* const* arguments, int count);

// Appends one argument to text as the Windows parsers read it back: in double
// quotes, a run of n backslashes before a quote doubled plus one, a run of n
// backslashes at the end doubled, other backslashes as they are. Text that
// reaches limit characters stops there, losing the rest of the argument and
// its closing quote. length is the current length of text and is updated.
void append_quoted_argument(wchar_t* text, size_t& length, size_t limit, const wchar_t* argument);
