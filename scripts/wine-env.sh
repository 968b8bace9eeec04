# Wine environment for Tavrel's test programs. Source it from bash:
#   . scripts/wine-env.sh            (prefix from TAVREL_WINEPREFIX or TAVREL_BUILD_DIR)
# It exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, WINELOADER, WINESERVER and defines
#   tavrel_wine_prefix_init   create the prefix once (safe when several processes race)
#   tavrel_wineserver_start   keep a wineserver running (-p) so each test process starts fast
#   tavrel_wineserver_stop    stop it again, with every Wine process of the prefix
#   tavrel_wine_processes     list the Wine processes of the prefix still running
#
# Prefix location: $TAVREL_WINEPREFIX, else $TAVREL_BUILD_DIR/wineprefix,
# else <source>/build/x86_64/wineprefix (the test preset's build tree).

tavrel_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# wine64 only: 32-bit Wine is not installable here. The Debian wrapper /usr/bin/wine
# would exec the same loader, so call the loader itself.
if [ -z "${TAVREL_WINE_LOADER:-}" ]; then
  for tavrel_candidate in /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine; do
    if [ -x "$tavrel_candidate" ]; then TAVREL_WINE_LOADER=$tavrel_candidate; break; fi
  done
  unset tavrel_candidate
fi
if [ -z "${TAVREL_WINE_LOADER:-}" ]; then
  echo "wine-env: no Wine loader found (install the wine64 package)" >&2
  return 1 2>/dev/null || exit 1
fi
export TAVREL_WINE_LOADER
# Wine starts its own helper processes (services, explorer) through WINELOADER.
export WINELOADER=$TAVREL_WINE_LOADER
export WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/bin/wineserver)}

if [ -n "${TAVREL_WINEPREFIX:-}" ]; then
  WINEPREFIX=$TAVREL_WINEPREFIX
elif [ -n "${TAVREL_BUILD_DIR:-}" ]; then
  WINEPREFIX=$TAVREL_BUILD_DIR/wineprefix
else
  WINEPREFIX=$tavrel_source_dir/build/x86_64/wineprefix
fi
export WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, and no debugger: a crash that nothing handles
# would start winedbg, which waits for a person and holds the test run; without it the
# crashed process ends at once (the test programs print their own crash report).
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe="
# The null graphics driver is chosen in the prefix's registry: no X server is used.

# Marker written last: a prefix without it is incomplete (e.g. an interrupted first run).
TAVREL_WINEPREFIX_READY=$WINEPREFIX/.tavrel-prefix-ready

tavrel_wine_prefix_init() {
  [ -f "$TAVREL_WINEPREFIX_READY" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  (
    # Another process may be creating the prefix right now: wait for it (10 min at most).
    if ! flock -w 600 9; then
      echo "wine-env: timed out waiting for the prefix lock $WINEPREFIX.lock" >&2
      exit 1
    fi
    [ -f "$TAVREL_WINEPREFIX_READY" ] && exit 0
    "$WINESERVER" -k 2>/dev/null
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX" || exit 1
    # Seed the user registry with the null driver before the first process starts, so the
    # desktop that wineboot creates already uses it (the driver is fixed per desktop).
    cat > "$WINEPREFIX/user.reg" <<'REG' || exit 1
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Wine\\Drivers] 1700000000
"Graphics"="null"
REG
    echo "wine-env: creating the Wine prefix $WINEPREFIX" >&2
    if ! "$TAVREL_WINE_LOADER" wineboot.exe -i >/dev/null 2>&1; then
      echo "wine-env: 'wineboot -i' failed for $WINEPREFIX" >&2
      exit 1
    fi
    # Wait until the boot's helper processes end and the server has saved the registry.
    "$WINESERVER" -w
    if ! grep -q '^"Graphics"="null"' "$WINEPREFIX/user.reg"; then
      echo "wine-env: the null graphics driver is not set in $WINEPREFIX/user.reg" >&2
      exit 1
    fi
    touch "$TAVREL_WINEPREFIX_READY"
  ) 9>"$WINEPREFIX.lock"
}

tavrel_wineserver_start() {
  tavrel_wine_prefix_init || return 1
  # -p: the server stays up after the last process ends until it is stopped.
  if ! "$WINESERVER" -p 2>/dev/null; then
    # A server left over for this prefix (exit status 2): replace it with a persistent one.
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w 2>/dev/null
    "$WINESERVER" -p || { echo "wine-env: could not start wineserver -p for $WINEPREFIX" >&2; return 1; }
  fi
  # Wine's helper processes (services, rpcss, device hosts) start with the first program
  # and then live as long as the server, holding that program's stderr open. Start them
  # now with /dev/null: a test's output pipe would otherwise never close and CTest would
  # wait for it until the test timed out.
  "$TAVREL_WINE_LOADER" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
  return 0
}

tavrel_wineserver_stop() {
  # -k ends any process still running in the prefix, then the server saves and exits.
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
  # A program that started just as the server went down starts a server of its own,
  # which -k did not reach: end those too.
  local pid command
  tavrel_wine_processes | while read -r pid command; do kill -KILL "$pid" 2>/dev/null; done
  return 0
}

# Prints "pid command line" for each running Wine process (server, loader, program,
# helper) of this prefix: Wine's own executables whose environment names this prefix.
tavrel_wine_processes() {
  local dir exe
  for dir in /proc/[0-9]*; do
    exe=$(readlink "$dir/exe" 2>/dev/null) || continue
    case ${exe##*/} in wine*) ;; *) continue ;; esac
    tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    echo "${dir#/proc/} $(tr '\0' ' ' <"$dir/cmdline" 2>/dev/null)"
  done
}
