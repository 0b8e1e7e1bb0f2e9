// Whether two names lead to the same file-system object: a folder can be
// reached through several names (a drive letter made with subst or mapped to
// a share, a junction), and its text tells nothing about which object it is.
#pragma once

#include <wchar.h>

// What makes a file-system object itself, whatever name reaches it: the
// serial number of its volume and its index on that volume.
struct FileIdentity {
  unsigned long volume_serial;
  unsigned long index_high;
  unsigned long index_low;
};

// Reads the identity of the file or folder at path into identity. Opens it
// with no access rights and full sharing, so that it never stands in the way
// of anyone else, and closes it again before returning. Returns false,
// identity zeroed, when the object cannot be opened or queried.
bool read_file_identity(const wchar_t* path, FileIdentity& identity);

// True when both identities name one object. An index of zero, which some
// file systems report for every object, never matches: it would make
// unrelated objects look the same. Calls nothing of the platform.
bool same_file_identity(const FileIdentity& first, const FileIdentity& second);

// The identity test: true when the object at path has identity. False when
// it does not, or when it cannot be opened or queried.
bool has_file_identity(const wchar_t* path, const FileIdentity& identity);
