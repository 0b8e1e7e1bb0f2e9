#include "handle_list_attribute.h"

#include <stdlib.h>

bool handle_is_inheritable(HANDLE handle) {
  DWORD flags = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetHandleInformation(handle, &flags)) {
    return false;
  }
  return (flags & HANDLE_FLAG_INHERIT) != 0;
}

LPPROC_THREAD_ATTRIBUTE_LIST create_handle_list_attribute(HANDLE* handles, size_t count) {
  SIZE_T size = 0;
  LPPROC_THREAD_ATTRIBUTE_LIST attributes = nullptr;

  if (count == 0) {
    return nullptr;
  }
  // This first call only reports the size a list of one attribute needs.
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  if (size == 0) {
    return nullptr;
  }
  attributes = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(malloc(size));
  if (attributes == nullptr) {
    return nullptr;
  }
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) {
    free(attributes);
    return nullptr;
  }
  if (!UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                 count * sizeof(HANDLE), nullptr, nullptr)) {
    release_handle_list_attribute(attributes);
    return nullptr;
  }
  return attributes;
}

void release_handle_list_attribute(LPPROC_THREAD_ATTRIBUTE_LIST attributes) {
  if (attributes == nullptr) {
    return;
  }
  DeleteProcThreadAttributeList(attributes);
  free(attributes);
}
