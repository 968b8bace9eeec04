#!/usr/bin/env bash
# Checks that a test program that crashes fails at once and says where, with the test
# programs built in build/x86_64 (scripts/test.sh runs it with its wineserver up):
#   CrashProbe.exe (tests/CrashProbe.cpp) crashes in a control handler of a driven
#   dialog: it must end within a few seconds with a non-zero status, name the exception
#   code 0xC0000005 and the crash's module and offset, and show the crashing thread's
#   frames back through Wine's message dispatch to the test;
#   the same crash left to Wine (no report) must end as quickly;
#   neither may leave a process behind (no Wine debugger, no probe).
# Exits non-zero and says why if any of that does not hold.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TAVREL_BUILD_DIR=${TAVREL_BUILD_DIR:-$root/build/x86_64}
. "$root/scripts/wine-env.sh" || exit 1

probe=$TAVREL_BUILD_DIR/bin/CrashProbe.exe
[ -f "$probe" ] || { echo "check-crash: no $probe (build preset x86_64 first)" >&2; exit 1; }
max_seconds=10
status=0
fail() { echo "check-crash: FAILED: $*" >&2; status=1; }

# Runs one test of the probe; sets output, exit_status and elapsed_ms. The output goes
# to a file, not a pipe: a process left behind holding a pipe would hang this script.
run_probe() {
  local log=$TAVREL_BUILD_DIR/crash-probe.log started
  started=$(date +%s%N)
  timeout 30 "$root/scripts/wine-run" --build-dir "$TAVREL_BUILD_DIR" "$probe" --gtest_filter="CrashProbe.$1" \
    </dev/null >"$log" 2>&1
  exit_status=$?
  elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
  output=$(cat "$log")
  echo "--- CrashProbe.$1: exit status $exit_status after $elapsed_ms ms"
  echo "$output"
}

ends_quickly() {
  [ "$exit_status" -ne 0 ] || fail "CrashProbe.$1 exited with status 0"
  [ "$exit_status" -ne 124 ] || fail "CrashProbe.$1 was still running after 30 s"
  [ "$elapsed_ms" -le $((max_seconds * 1000)) ] ||
    fail "CrashProbe.$1 took $elapsed_ms ms to fail (at most $max_seconds s)"
  local left
  left=$(tavrel_wine_processes | grep -i -e CrashProbe -e winedbg)
  [ -z "$left" ] || fail "CrashProbe.$1 left processes behind:"$'\n'"$left"
}

run_probe InAControlHandler
ends_quickly InAControlHandler
grep -q 'exception 0xC0000005' <<<"$output" || fail "the report does not name the exception code 0xC0000005"
grep -Eq '^at 0x[0-9a-f]+ CrashProbe\.exe\+0x[0-9a-f]+' <<<"$output" ||
  fail "the report does not name the module and offset of the crash (CrashProbe.exe+0x...)"
# The handler was called by Wine's user32 from the driver's click, inside the test:
# the frames must lead from the crash through user32 back to CrashProbe.exe.
awk '/user32\.dll\+0x/ { seen = 1 } seen && /CrashProbe\.exe\+0x/ { found = 1 } END { exit !found }' <<<"$output" ||
  fail "the backtrace does not lead back through user32.dll to the test"

run_probe WithoutTheReport
ends_quickly WithoutTheReport

[ $status -eq 0 ] && echo "check-crash: a crash fails at once and says where"
exit $status
