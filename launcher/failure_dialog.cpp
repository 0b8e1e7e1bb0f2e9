#include "failure_dialog.h"

#include <windows.h>

#include "failure_message.h"
#include "install_layout.h"
#include "log_excerpt.h"
#include "system_function.h"

namespace {

// user32 is loaded only here: a start that succeeds never shows a box and
// need not pay for loading it. Without user32 no box can be shown, and the
// caller's exit code still tells the failure.
void show_error_box(const wchar_t* message) {
  const auto message_box =
      system_function_as<decltype(&MessageBoxW)>(load_system_function(L"user32.dll", "MessageBoxW"));
  if (message_box == nullptr) {
    return;
  }
  message_box(nullptr, message, kDisplayName, MB_ICONERROR);
}

}  // namespace

void show_failure_dialog(const wchar_t* text, const wchar_t* log_path) {
  wchar_t message[kFailureMessageCapacity];
  wchar_t excerpt[kDecodedExcerptCapacity];
  const bool have_excerpt = log_path != nullptr && read_log_excerpt(log_path, excerpt);
  compose_failure_message(message, text, have_excerpt ? excerpt : nullptr);
  show_error_box(message);
}
