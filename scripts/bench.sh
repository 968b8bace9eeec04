#!/usr/bin/env bash
# The configure window page's benchmark (tools/bench/ConfigureWindowBench.cpp), in one
# command (Debian 12, as root; installs and builds what is missing):
#   1. configure preset x86_64 and build Tavrel.dll and ConfigureWindowBench.exe,
#   2. make sure the Wine prefix exists and start its wineserver,
#   3. run the bench under Wine: it prints how long the page takes to open and to write
#      on windows of 1,000 and 10,000 views, beside the floor of the same tree filled
#      without the page.
# Arguments go to the bench: bash scripts/bench.sh --rounds 9 1000 10000 100000
# Figures are wall-clock times: run it on an otherwise idle machine.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

die() { echo "bench.sh: FAILED: $*" >&2; exit 1; }

bash "$root/scripts/install-deps.sh" >/dev/null || die "installing the packages"
cmake --preset x86_64 >/dev/null || die "configure x86_64"
cmake --build --preset x86_64 --target ConfigureWindowBench >/dev/null || die "build ConfigureWindowBench"

export TAVREL_BUILD_DIR=$root/build/x86_64
. "$root/scripts/wine-env.sh" || die "Wine environment"
trap 'tavrel_wineserver_stop' EXIT
trap 'exit 130' INT TERM
tavrel_wineserver_start || die "starting wineserver for $WINEPREFIX"

"$TAVREL_WINE_LOADER" "$TAVREL_BUILD_DIR/bin/ConfigureWindowBench.exe" "$@" </dev/null
