#!/usr/bin/env bash
# Checks a built Tavrel.dll: the four COM server entry points are exported by their
# plain names, and it imports nothing but system DLLs (libgcc, libstdc++ and
# winpthread must be linked in).
#   scripts/check-dll.sh <path/to/Tavrel.dll>
set -u

dll=${1:-}
if [ -z "$dll" ] || [ $# -ne 1 ]; then
  echo "usage: check-dll.sh <dll>" >&2
  exit 2
fi
fail() { echo "check-dll: $dll: $*" >&2; exit 1; }
[ -f "$dll" ] || fail "no such file"

# The PE header says which objdump reads it: e_lfanew at 0x3c, then "PE\0\0", machine.
pe_offset=$(od -An -tu4 -j60 -N4 "$dll" | tr -d ' ')
[ -n "$pe_offset" ] || fail "not a PE file"
signature=$(od -An -tx1 -j"$pe_offset" -N4 "$dll" | tr -d ' ')
[ "$signature" = "50450000" ] || fail "not a PE file (no PE signature)"
machine=$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$dll" | tr -d ' ')
case $machine in
  014c) triplet=i686-w64-mingw32 ;;
  8664) triplet=x86_64-w64-mingw32 ;;
  *) fail "unexpected machine type 0x$machine (want i386 or x86-64)" ;;
esac
objdump=${triplet}-objdump
command -v "$objdump" >/dev/null || fail "$objdump not found (apt-get install binutils-mingw-w64)"

headers=$("$objdump" -p "$dll") || fail "$objdump -p failed"
status=0

# Export names: the lines "[ n] Name" after "[Ordinal/Name Pointer] Table".
exports=$(printf '%s\n' "$headers" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\).*/\1/p')
for entry in DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer; do
  if ! printf '%s\n' "$exports" | grep -qx "$entry"; then
    if printf '%s\n' "$exports" | grep -q "^_\?$entry@"; then
      echo "check-dll: $dll: $entry is exported only decorated ($(printf '%s\n' "$exports" | grep "$entry" | head -1)); name it in the .def file" >&2
    else
      echo "check-dll: $dll: $entry is not exported" >&2
    fi
    status=1
  fi
done

# Imported DLLs: only the system's.
imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')
[ -n "$imports" ] || { echo "check-dll: $dll: no import table found" >&2; status=1; }
while IFS= read -r import; do
  [ -n "$import" ] || continue
  case ${import,,} in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | ole32.dll | oleaut32.dll | comctl32.dll | shlwapi.dll | \
      msvcrt.dll | api-ms-win-crt-*.dll) ;;
    libgcc_s_* | libstdc++* | libwinpthread*)
      echo "check-dll: $dll: imports $import; link it statically (-static-libgcc -static-libstdc++ -static)" >&2
      status=1 ;;
    *)
      echo "check-dll: $dll: imports $import, which is not a system DLL the product may use" >&2
      status=1 ;;
  esac
done <<< "$imports"

if [ $status -eq 0 ]; then
  echo "check-dll: $dll ($triplet): exports and imports OK ($(printf '%s' "$imports" | tr '\n' ' '))"
fi
exit $status
