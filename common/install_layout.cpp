#include "install_layout.h"

#include "bounded_text.h"

bool install_directory_from_module_path(const wchar_t* module_path, PathBuffer& out) {
  out[0] = L'\0';
  const wchar_t* last_backslash = wcsrchr(module_path, L'\\');
  if (last_backslash == nullptr) {
    return false;
  }
  const size_t length = static_cast<size_t>(last_backslash - module_path);
  if (length >= kPathCapacity) {
    return false;
  }
  wmemcpy(out, module_path, length);
  out[length] = L'\0';
  return true;
}

bool install_directory_from_reported_module_path(const wchar_t* module_path,
                                                 unsigned long reported_length, PathBuffer& out) {
  if (reported_length == 0 || reported_length >= kPathCapacity) {
    out[0] = L'\0';
    return false;
  }
  return install_directory_from_module_path(module_path, out);
}

bool compose_install_path(PathBuffer& out, const wchar_t* format, const wchar_t* directory) {
  return format_bounded(out, kPathCapacity, format, directory);
}
