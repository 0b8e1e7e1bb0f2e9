// The one error box through which the launcher reports a failed start.
#pragma once

#include <wchar.h>

// Shows text in a modal error box titled with the display name and returns
// once the user has closed it. When log_path is not null and the log yields an
// excerpt, the box adds a blank line and the log's beginning; a log that
// cannot be read leaves the text alone. Reports nothing further.
void show_failure_dialog(const wchar_t* text, const wchar_t* log_path);
