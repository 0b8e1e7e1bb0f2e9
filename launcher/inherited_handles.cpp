#include "inherited_handles.h"

#include <stdint.h>

namespace {

// Null and INVALID_HANDLE_VALUE name nothing that can be inherited; negative
// values are pseudo handles (the current process, thread or token); values
// with both low bits set are the console pseudo handles of older Windows,
// which a handle list refuses.
bool is_real_handle(HANDLE handle) {
  const auto value = reinterpret_cast<intptr_t>(handle);
  return value > 0 && (value & 3) != 3;
}

}  // namespace

size_t choose_inherited_handles(HANDLE log, HANDLE standard_input, bool input_inheritable,
                                HANDLE* handles) {
  if (!is_real_handle(log)) {
    return 0;
  }
  size_t count = 0;
  handles[count++] = log;
  if (input_inheritable && is_real_handle(standard_input) && standard_input != log) {
    handles[count++] = standard_input;
  }
  return count;
}
