#!/usr/bin/env bash
# The project's full test run, for a developer and for CI (Debian 12, run as root on a
# fresh machine):
#   1. install the missing build and test packages,
#   2. configure and build preset x86_64 (DLL and tests) and preset i686 (the product),
#   3. run the tests under Wine (ctest --preset x86_64) with a persistent wineserver,
#      then check that a crashing test program fails at once and says where
#      (scripts/check-crash.sh), and that no Wine process of the prefix outlives the run,
#   4. check both DLLs' exports and imports (scripts/check-dll.sh), build both host SDK
#      packages and check what they hold (scripts/check-package.sh),
#   5. check that the page gallery shows the pages as they are (scripts/gallery.sh --check).
# Exits non-zero if any step fails.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

started=$SECONDS
step() { echo; echo "==> [$((SECONDS - started))s] $*"; }
die() { echo "test.sh: FAILED: $*" >&2; exit 1; }

# ---- 1. Packages
step "packages"
bash "$root/scripts/install-deps.sh" || die "installing the packages"

# ---- 2. Builds
step "configure and build preset x86_64 (Tavrel.dll and the tests)"
cmake --preset x86_64 || die "configure x86_64"
cmake --build --preset x86_64 || die "build x86_64"

step "configure and build preset i686 (the product Tavrel.dll)"
cmake --preset i686 || die "configure i686"
cmake --build --preset i686 || die "build i686"

# ---- 3. Tests under Wine: one wineserver for the whole run. However the run ends from
# here (passed, failed, crashed, Ctrl-C, a cancelled job), the server and every Wine
# process of the prefix end with it.
step "tests under Wine"
export TAVREL_BUILD_DIR=$root/build/x86_64
. "$root/scripts/wine-env.sh" || die "Wine environment"
trap 'tavrel_wineserver_stop' EXIT
trap 'echo "test.sh: interrupted" >&2; exit 130' INT
trap 'echo "test.sh: terminated" >&2; exit 143' TERM HUP
tavrel_wineserver_start || die "starting wineserver for $WINEPREFIX"
tests_status=0
ctest --preset x86_64 || tests_status=$?

step "a crashing test program (tests/CrashProbe.cpp)"
crash_status=0
"$root/scripts/check-crash.sh" || crash_status=1
tavrel_wineserver_stop
trap - EXIT INT TERM HUP
wine_left=$(tavrel_wine_processes)
if [ -n "$wine_left" ]; then
  echo "test.sh: Wine processes of $WINEPREFIX outlived the run:" >&2
  echo "$wine_left" >&2
fi

# ---- 4. The DLLs and the host SDK packages
step "checking the DLLs and the SDK packages"
dll_status=0
for preset in x86_64 i686; do
  dll=$root/build/$preset/bin/Tavrel.dll
  if [ ! -f "$dll" ]; then
    echo "test.sh: the $preset build made no $dll" >&2
    dll_status=1
    continue
  fi
  "$root/scripts/check-dll.sh" "$dll" || dll_status=1
  cmake --build --preset "$preset" --target package >/dev/null || { dll_status=1; continue; }
  "$root/scripts/check-package.sh" "$root"/build/"$preset"/Tavrel-SDK-*.zip || dll_status=1
done

# ---- 5. The page gallery
step "the page gallery (docs/pages) against the pages as they are"
gallery_status=0
bash "$root/scripts/gallery.sh" --check || gallery_status=1

echo
[ $tests_status -eq 0 ] || die "tests (ctest exit status $tests_status)"
[ $crash_status -eq 0 ] || die "a crashing test program (scripts/check-crash.sh)"
[ -z "$wine_left" ] || die "Wine processes left behind"
[ $dll_status -eq 0 ] || die "DLL or package check"
[ $gallery_status -eq 0 ] || die "the page gallery is out of date (bash scripts/gallery.sh)"
echo "test.sh: all passed in $((SECONDS - started)) s"
