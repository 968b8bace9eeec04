#!/usr/bin/env bash
# The benchmarks, in one command (Debian 12, as root; installs and builds what is
# missing):
#   1. configure preset x86_64 and build Tavrel.dll and the bench,
#   2. make sure the Wine prefix exists and start its wineserver,
#   3. run the bench under Wine and print its figures:
#        pages             (tools/bench/PageBench.cpp) every page's opening against the
#                          floor of its own template, its parameter reports, and what
#                          2,000 openings leave behind
#        configure-window  (tools/bench/ConfigureWindowBench.cpp) the configure window
#                          page opening and writing on windows of 1,000 and 10,000 views
# bash scripts/bench.sh [pages | configure-window] [<the bench's own arguments>...]
#   e.g. bash scripts/bench.sh configure-window --rounds 9 1000 10000 100000
# Figures are wall-clock times: run it on an otherwise idle machine.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

die() { echo "bench.sh: FAILED: $*" >&2; exit 1; }

bash "$root/scripts/install-deps.sh" >/dev/null || die "installing the packages"
cmake --preset x86_64 >/dev/null || die "configure x86_64"
bench=PageBench
case "${1:-}" in
  pages) shift ;;
  configure-window) bench=ConfigureWindowBench; shift ;;
esac
cmake --build --preset x86_64 --target "$bench" >/dev/null || die "build $bench"

export TAVREL_BUILD_DIR=$root/build/x86_64
. "$root/scripts/wine-env.sh" || die "Wine environment"
trap 'tavrel_wineserver_stop' EXIT
trap 'exit 130' INT TERM
tavrel_wineserver_start || die "starting wineserver for $WINEPREFIX"

cd "$TAVREL_BUILD_DIR/bin" || die "no $TAVREL_BUILD_DIR/bin"
"$TAVREL_WINE_LOADER" "$TAVREL_BUILD_DIR/bin/$bench.exe" "$@" </dev/null
