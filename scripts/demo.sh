#!/usr/bin/env bash
# The page host at work, in one command (Debian 12, as root on a fresh machine):
#   1. install the missing build packages (scripts/install-deps.sh),
#   2. configure preset x86_64 and build Tavrel.dll and pagehost.exe,
#   3. make sure the Wine prefix exists and start its wineserver,
#   4. open the TS distribution page headless against the simulated host: the script
#      chooses "Weight" and presses OK; pagehost prints what the host received.
# Extra arguments replace the example: bash scripts/demo.sh ScopeDialog \
#   examples/scope.host examples/scope-linear.script
# Exits with pagehost's status (0: done), or 1 if a step before it fails.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

started=$SECONDS
step() { echo; echo "==> [$((SECONDS - started))s] $*"; }
die() { echo "demo.sh: FAILED: $*" >&2; exit 1; }

step "packages"
bash "$root/scripts/install-deps.sh" || die "installing the packages"

step "configure and build preset x86_64 (Tavrel.dll and pagehost.exe)"
cmake --preset x86_64 >/dev/null || die "configure x86_64"
cmake --build --preset x86_64 --target pagehost || die "build pagehost"

step "Wine prefix and wineserver"
export TAVREL_BUILD_DIR=$root/build/x86_64
. "$root/scripts/wine-env.sh" || die "Wine environment"
trap 'tavrel_wineserver_stop' EXIT
trap 'exit 130' INT TERM
# Starts Wine's helper processes with /dev/null as their output: started by pagehost
# they would hold the terminal's output open after it ends.
tavrel_wineserver_start || die "starting wineserver for $WINEPREFIX"

if [ $# -eq 0 ]; then
  set -- TsDistributionDlg examples/ts-distribution.host examples/ts-distribution-weight.script
fi
step "pagehost $*"
"$TAVREL_WINE_LOADER" "$TAVREL_BUILD_DIR/bin/pagehost.exe" "$@" </dev/null
status=$?
echo
echo "demo.sh: pagehost exited with status $status after $((SECONDS - started)) s"
exit $status
