#include "failure_dialog.h"

#include <windows.h>

#include "failure_message.h"
#include "install_layout.h"
#include "log_excerpt.h"

void show_failure_dialog(const wchar_t* text, const wchar_t* log_path) {
  wchar_t message[kFailureMessageCapacity];
  wchar_t excerpt[kDecodedExcerptCapacity];
  const bool have_excerpt = log_path != nullptr && read_log_excerpt(log_path, excerpt);
  compose_failure_message(message, text, have_excerpt ? excerpt : nullptr);
  MessageBoxW(nullptr, message, kDisplayName, MB_ICONERROR);
}
