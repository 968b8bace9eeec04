#!/usr/bin/env bash
# The page gallery: each of the nine pages opened on its example host and pictured as
# it opens (pagehost --screenshot, headless under Wine's null graphics driver, which
# keeps every window's pixels in memory) into docs/pages/<page>.png. Run it whenever a
# page's template or behaviour changes; docs/gallery.md shows the pictures. The
# pictures are byte for byte the same from run to run, so --check (run by
# scripts/test.sh) renders them afresh and fails when docs/pages is out of date.
#   bash scripts/gallery.sh [<folder>]     (default docs/pages)
#   bash scripts/gallery.sh --check
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
die() { echo "gallery.sh: FAILED: $*" >&2; exit 1; }
check=0
if [ "${1:-}" = --check ]; then
  check=1
  out=$(mktemp -d) || die "no temporary folder"
else
  out=$(realpath -m "${1:-docs/pages}")
fi

# Each page with the example host it opens on.
pages=(
  "RangeSurfaceDialog range-surface.host"
  "HorizontalDistanceDialog horizontal-axis.host"
  "TsDistributionDlg ts-distribution.host"
  "BottomDetectorDialog bottom-detection.host"
  "EchoTraceDialog echo-trace.host"
  "ColorScaleDialog color-scale.host"
  "ConfigureWindowDlg configure-window.host"
  "RangeScrollDlg range-scroll.host"
  "ScopeDialog scope.host"
)

bash "$root/scripts/install-deps.sh" >/dev/null || die "installing the packages"
cmake --preset x86_64 >/dev/null || die "configure x86_64"
cmake --build --preset x86_64 --target pagehost >/dev/null || die "build pagehost"
export TAVREL_BUILD_DIR=$root/build/x86_64
. "$root/scripts/wine-env.sh" || die "Wine environment"
trap 'tavrel_wineserver_stop; [ $check -eq 0 ] || rm -rf "$out"' EXIT
tavrel_wineserver_start || die "starting wineserver for $WINEPREFIX"

mkdir -p "$out" || die "cannot make $out"
status=0
for entry in "${pages[@]}"; do
  read -r page host <<<"$entry"
  # Wine sees the Unix file system as drive Z:.
  picture="Z:${out//\//\\}\\$page.png"
  if ! "$TAVREL_WINE_LOADER" "$TAVREL_BUILD_DIR/bin/pagehost.exe" --screenshot "$picture" \
      "$page" "$root/examples/$host" </dev/null >/dev/null; then
    echo "gallery.sh: $page: pagehost failed" >&2
    status=1
  elif [ $check -eq 0 ]; then
    echo "gallery.sh: $out/$page.png"
  elif ! cmp -s "$out/$page.png" "docs/pages/$page.png"; then
    echo "gallery.sh: docs/pages/$page.png is not what the page looks like now:" \
         "run bash scripts/gallery.sh and look at the pictures" >&2
    status=1
  fi
  grep -q "(pages/$page.png)" docs/gallery.md || {
    echo "gallery.sh: docs/gallery.md does not show $page" >&2
    status=1
  }
done
[ $check -eq 0 ] || [ $status -ne 0 ] || echo "gallery.sh: docs/pages shows every page as it is"
exit $status
