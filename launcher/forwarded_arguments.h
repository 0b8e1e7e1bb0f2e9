// The launcher's own arguments, parsed only when there are any.
#pragma once

// The parsed argument list of command_line as CommandLineToArgvW gives it
// (element 0 the program name), with its element count in count; release it
// with LocalFree. Returns null, count 0, when the command line holds no
// argument after the program name, and also when shell32.dll or its parser
// cannot be had or the parser fails: the launch then forwards nothing.
wchar_t** parse_forwarded_arguments(const wchar_t* command_line, int* count);
