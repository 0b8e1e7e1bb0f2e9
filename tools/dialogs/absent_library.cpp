// A library that is built only so that needs-absent-library.exe can import from
// it; it is never put beside that program, which therefore cannot load.
extern "C" __declspec(dllexport) int velmarrow_absent_entry() { return 0; }
