#!/usr/bin/env bash
# Checks a host SDK package: it holds exactly the files a host developer needs, the
# sample host builds from the package alone, its Tavrel.dll is stripped and names its
# symbol file, and the DLL's size is printed so
# that a growing runtime shows in every run. The 32-bit DLL, the product, must also
# stay within its size budget (README.md, "Building", says what keeps it small).
#   check-package.sh <package.zip>
set -uo pipefail

# Largest stripped size of the 32-bit Tavrel.dll, in KiB.
win32_dll_budget_kib=222

package=$(realpath "${1:?usage: check-package.sh <package.zip>}")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fail() { echo "check-package: $package: $*" >&2; exit 1; }
[ -f "$package" ] || fail "no such file"

expected=$(
  printf '%s\n' README.md bin/Tavrel.dll bin/Tavrel.dll.debug bin/Tavrel.tlb bin/pagehost.exe bin/samplehost.exe \
    include/HostInterfaces.idl include/HostInterfaces.h include/HostInterfaces_i.c include/TavrelClasses.h \
    include/TavrelClasses_i.c sample/SampleHost.cpp
  (cd "$root" && find examples docs -type f)
)
actual=$(cmake -E tar tf "$package" | grep -v '/$') || fail "cannot be listed"
missing=$(comm -23 <(sort <<<"$expected") <(sort <<<"$actual"))
extra=$(comm -13 <(sort <<<"$expected") <(sort <<<"$actual"))
[ -z "$missing" ] || fail "missing: $(echo $missing)"
[ -z "$extra" ] || fail "not expected: $(echo $extra)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cmake -E tar xf "$package") || fail "cannot be unpacked"

# The sample host, built as its source says, from nothing but the package.
case $(basename "$package") in
  *-win32.zip) compiler=i686-w64-mingw32-g++-posix ;;
  *) compiler=x86_64-w64-mingw32-g++-posix ;;
esac
(cd "$scratch" && $compiler -std=c++17 -municode -Wall -Werror -Iinclude sample/SampleHost.cpp \
  include/HostInterfaces_i.c include/TavrelClasses_i.c -lole32 -loleaut32 -luuid -o samplehost-from-package.exe) ||
  fail "the sample host does not build from the package alone"

dll=$scratch/bin/Tavrel.dll
objdump_tool=objdump
for candidate in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump; do
  command -v $candidate >/dev/null && { objdump_tool=$candidate; break; }
done
sections=$($objdump_tool -h "$dll") || fail "Tavrel.dll cannot be read"
grep -q '\.debug_' <<<"$sections" && fail "Tavrel.dll is not stripped"
grep -q '\.gnu_debuglink' <<<"$sections" || fail "Tavrel.dll does not name its symbol file"
size=$(stat -c %s "$dll")
budget_kib=
case $(basename "$package") in
  *-win32.zip) budget_kib=$win32_dll_budget_kib ;;
esac
echo "check-package: $(basename "$package"): files as expected; Tavrel.dll $size bytes ($((size / 1024)) KiB) stripped${budget_kib:+, budget $budget_kib KiB}"
if [ -n "$budget_kib" ] && [ "$size" -gt $((budget_kib * 1024)) ]; then
  fail "Tavrel.dll is $((size - budget_kib * 1024)) bytes over its budget of $budget_kib KiB"
fi
