#include "file_identity.h"

#include <windows.h>

bool read_file_identity(const wchar_t* path, FileIdentity& identity) {
  HANDLE file = INVALID_HANDLE_VALUE;
  BY_HANDLE_FILE_INFORMATION information = {};

  identity = {};
  // Backup semantics let a folder be opened like a file.
  file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  const BOOL queried = GetFileInformationByHandle(file, &information);
  CloseHandle(file);
  if (!queried) {
    return false;
  }
  identity.volume_serial = information.dwVolumeSerialNumber;
  identity.index_high = information.nFileIndexHigh;
  identity.index_low = information.nFileIndexLow;
  return true;
}

bool same_file_identity(const FileIdentity& first, const FileIdentity& second) {
  if (first.index_high == 0 && first.index_low == 0) {
    return false;
  }
  return first.volume_serial == second.volume_serial && first.index_high == second.index_high &&
         first.index_low == second.index_low;
}

bool has_file_identity(const wchar_t* path, const FileIdentity& identity) {
  FileIdentity found = {};
  return read_file_identity(path, found) && same_file_identity(found, identity);
}
