#!/bin/sh
# Checks a shipped program: 64-bit Windows GUI, no resources, imports from
# Windows system DLLs only (so it starts on a machine with no runtime
# installed), ASLR with high-entropy addresses and DEP, and at most 48 KiB.
# With IMPORTS given, the program must import from exactly those DLLs.
# usage: check-binary.sh OBJDUMP PROGRAM.exe [IMPORTS...]
objdump=$1
program=$2
shift 2
expected_imports=$*
fail=0
headers=$("$objdump" -p "$program") || { echo "cannot read $program"; exit 1; }

echo "$headers" | grep -q 'file format pei-x86-64' || { echo "not x86-64: $program"; fail=1; }
echo "$headers" | grep -Eq '^Subsystem[[:space:]]+00000002' || { echo "not a GUI program: $program"; fail=1; }
if echo "$headers" | grep -E 'Resource Directory' | grep -vq 'Entry 2 0000000000000000 00000000'; then
  echo "has resources: $program"; fail=1
fi
"$objdump" -h "$program" | grep -q '\.rsrc' && { echo "has a .rsrc section: $program"; fail=1; }
# A signature is a certificate table (data directory entry 4, "Security")
# appended after the sections: no resource, and no section of its own.
signed=""
echo "$headers" | grep -Eq '^Entry 4 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Security Directory' && signed=", signed"

system_dlls='^(kernel32|user32|shell32|advapi32|msvcrt|ntdll)\.dll$'
for dll in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system_dlls"; then
    echo "imports a non-system DLL: $dll"; fail=1
  fi
done
if [ -n "$expected_imports" ]; then
  sorted() { tr ' ' '\n' | tr 'A-Z' 'a-z' | grep . | sort | tr '\n' ' '; }
  imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | sorted)
  [ "$imports" = "$(echo "$expected_imports" | sorted)" ] ||
    { echo "imports $imports instead of exactly $expected_imports: $program"; fail=1; }
fi
"$objdump" -h "$program" | grep -q '\.debug' && { echo "not stripped: $program"; fail=1; }

for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  echo "$headers" | grep -Eq "^[[:space:]]+$flag\$" || { echo "lacks $flag: $program"; fail=1; }
done
# A relocatable image needs its relocations, or the loader cannot move it.
echo "$headers" | grep -Eq 'Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation' ||
  { echo "has no relocations: $program"; fail=1; }

size=$(wc -c < "$program")
[ "$size" -le 49152 ] || { echo "larger than 48 KiB: $program"; fail=1; }
echo "$(basename "$program"): $size bytes$signed, imports: $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"
exit $fail
