#!/usr/bin/env bash
# Photographs the panels on a private X server (Xvfb + openbox, with picom for translucency) and
# writes PNGs to a folder:
#   desktop.png          translucent panels over a compositor, one tile hovered with its tooltip
#   desktop-opaque.png   the same without a compositor (opaque bodies cut to shape)
#   desktop-hidpi.png    at twice the pixel density (QT_SCALE_FACTOR=2)
#   tab-bars.png         tab bars on every edge, both styles, overflow and a rename field
#   settings.png         the panel settings window
#
#   scripts/screenshot.sh [OUTPUT_DIR] [GALLERY]
# OUTPUT_DIR defaults to ./screenshots; GALLERY to build/tests/ui/panelgallery. Until the program
# shows its own windows, the panels come from that gallery of sample panels.
set -euo pipefail

out=${1:-screenshots}
gallery=${2:-build/tests/ui/panelgallery}
[ -x "$gallery" ] || { echo "screenshot: no gallery at $gallery (build the panelgallery target)" >&2; exit 1; }
for tool in Xvfb openbox picom import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
mkdir -p "$out"

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

# shot NAME WIDTHxHEIGHT COMPOSITOR(yes|no) [ENV=VALUE...]
shot() {
  local name=$1 size=$2 compositor=$3; shift 3
  local fifo display
  fifo=$(mktemp -u /tmp/screenshot.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" 2>/dev/null &
  local server=$!
  pids+=("$server")
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$display"

  XDG_CONFIG_DIRS=/etc/xdg openbox --sm-disable 2>/dev/null &
  local wm=$!
  pids+=("$wm")
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do sleep 0.1; done
  local args=(--hover)
  if [ "$compositor" = yes ]; then
    picom --backend xrender --no-vsync --no-fading-openclose 2>/dev/null &
    pids+=("$!")
    # picom announces itself with a window of its own name.
    until xwininfo -root -children 2>/dev/null | grep -q '"picom"'; do sleep 0.1; done
    args+=(--translucent)
  fi

  local log
  log=$(mktemp /tmp/screenshot-log.XXXXXX)
  env QT_QPA_PLATFORM=xcb "$@" "$gallery" "${args[@]}" >"$log" 2>&1 &
  local app=$!
  pids+=("$app")
  until grep -q '^ready' "$log"; do
    kill -0 "$app" 2>/dev/null || { cat "$log" >&2; echo "screenshot: the gallery ended early" >&2; exit 1; }
    sleep 0.1
  done
  import -window root "$out/$name" 2>/dev/null
  echo "screenshot: $out/$name"
  kill "$app" 2>/dev/null || true
  [ "$compositor" = yes ] && kill "${pids[-2]}" 2>/dev/null || true
  kill "$wm" "$server" 2>/dev/null || true
  wait "$app" "$wm" "$server" 2>/dev/null || true
  rm -f "$log"
}

shot desktop.png 1280x800 yes
shot desktop-opaque.png 1280x800 no
shot desktop-hidpi.png 2560x1600 yes QT_SCALE_FACTOR=2
shot tab-bars.png 1280x800 yes GALLERY_SCENE=tabs
shot settings.png 1280x800 no GALLERY_SCENE=settings
