#!/usr/bin/env bash
# The demo: the switcher with the stand-in companion, a sample playback history and the three
# windows open, all in a private data folder (build/demo-data, made fresh each run), so the
# user's own data and settings are never touched. Without a display it runs offscreen, leaves a
# PNG of each window in build/screens/ and exits. Expects a build in ./build (./dev run does it).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${CORVANE_BUILD_DIR:-$root/build}"
app="$build/Corvane_Switcher/corvane-switcher"
companion="$build/tools/corvane-companion-standin"
for binary in "$app" "$companion"; do
  [ -x "$binary" ] || { echo "demo: $binary is missing; build first (./dev run)" >&2; exit 1; }
done

data="$build/demo-data"
rm -rf "$data"
mkdir -p "$data/config" "$data/runtime"
chmod 700 "$data/runtime"
python3 tools/make_sample_history.py tests/fixtures/companion-library.json "$data/PlaybackHistory.json"
cp tools/MusicApp.demo.json "$data/MusicApp.json"
cp tools/OutputDevice.demo.json "$data/OutputDevice.json"

export CORVANE_SWITCHER_DATA_DIR="$data"
export XDG_CONFIG_HOME="$data/config"
export CORVANE_SWITCHER_OPEN="learned,history,timing"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
  export XDG_RUNTIME_DIR="$data/runtime"
  export CORVANE_SWITCHER_SCREENSHOTS="$build/screens"
  rm -rf "$CORVANE_SWITCHER_SCREENSHOTS"
  echo "demo: no display; the windows go to $CORVANE_SWITCHER_SCREENSHOTS"
fi

# The companion waits for the switcher's port file, pairs, and leaves when the switcher does.
"$companion" --library tests/fixtures/companion-library.json --exit-after-ms 600000 &
companion_pid=$!
trap 'kill "$companion_pid" 2>/dev/null || true; wait "$companion_pid" 2>/dev/null || true' EXIT

status=0
"$app" "$@" || status=$?
if [ -n "${CORVANE_SWITCHER_SCREENSHOTS:-}" ] && [ "$status" -eq 0 ]; then
  ls "$CORVANE_SWITCHER_SCREENSHOTS"/*.png
fi
exit "$status"
