#!/usr/bin/env bash
# Photographs the program on a private X server (Xvfb + openbox, with picom for translucency)
# with a sample configuration of three panels (a dock at the bottom centre with labels, a column
# on the left edge with two tabs, a free panel with a group), and writes PNGs to a folder:
#   desktop.png          translucent panels over a compositor, one tile hovered with its tooltip
#   desktop-opaque.png   the same without a compositor (opaque bodies cut to shape)
#   desktop-hidpi.png    at twice the pixel density (QT_SCALE_FACTOR=2)
#   desktop-mixed.png    two monitors side by side, the left at the normal density with the
#                        dock, the right at twice it (QT_SCREEN_SCALE_FACTORS) with the column
#                        and the free panel
# and, from the developer's gallery of components (tests/ui/panelgallery), states the sample
# rarely shows at once:
#   gallery.png          sample panels with badges, progress and attention marks, one tooltip
#   tab-bars.png         tab bars on every edge, both styles, overflow and a rename field
#   settings.png         the panel settings window
#
#   scripts/screenshot.sh [OUTPUT_DIR] [BUILD_DIR]
# OUTPUT_DIR defaults to ./screenshots, BUILD_DIR to ./build, where the quayrow2, sampledesktop
# and panelgallery targets must be built. Nothing of the user's own is read or written.
set -euo pipefail

out=${1:-screenshots}
build=${2:-build}
program=$build/src/app/quayrow2
sampler=$build/tests/app/sampledesktop
gallery=$build/tests/ui/panelgallery
for built in "$program" "$sampler" "$gallery"; do
  [ -x "$built" ] || { echo "screenshot: $built is missing (build the quayrow2, sampledesktop and panelgallery targets)" >&2; exit 1; }
done
for tool in Xvfb openbox picom import xdotool dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
mkdir -p "$out"
program=$(realpath "$program")
gallery=$(realpath "$gallery")

work=$(mktemp -d /tmp/screenshot.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a command in the background, remembered for the clean-up; its pid is in $started.
spawn() {
  "$@" &
  started=$!
  pids+=("$started")
}

# Waits until `condition` (a command) succeeds, at most 20 s.
wait_for() {
  local tries=200
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { echo "screenshot: timed out waiting for: $*" >&2; exit 1; }
    sleep 0.1
  done
}

visible_panels() {
  [ "$(xdotool search --onlyvisible --class '^Quayrow2$' 2>/dev/null | wc -l)" -ge 3 ]
}

# session NAME WIDTHxHEIGHT COMPOSITOR(yes|no): Xvfb with openbox, and picom when asked; DISPLAY
# points at it.
session() {
  local name=$1 size=$2 compositor=$3
  local number=$work/$name.display display
  # Xvfb writes the number of the display it took once it accepts connections.
  Xvfb -displayfd 3 -noreset -screen 0 "${size}x24" -nolisten tcp 3>"$number" 2>/dev/null &
  pids+=("$!")
  wait_for test -s "$number"
  display=$(cat "$number")
  export DISPLAY=":$display"

  # Monitors of their own, when the shot names them: "NAME WxH+X+Y" lines, the first primary.
  # The first takes Xvfb's output, so that Xvfb's monitor over the whole screen goes.
  local primary='*' output=screen monitor geometry
  while read -r monitor geometry; do
    [ -n "$monitor" ] || continue
    local w=${geometry%%x*} rest=${geometry#*x}
    local h=${rest%%+*}
    xrandr --setmonitor "$primary$monitor" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+${rest#*+}" "$output"
    primary= output=none
  done <<<"${monitors:-}"

  XDG_CONFIG_DIRS=/etc/xdg spawn openbox --sm-disable 2>/dev/null
  wait_for sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window'
  if [ "$compositor" = yes ]; then
    spawn picom --backend xrender --no-vsync --no-fading-openclose --config /dev/null 2>/dev/null
    # picom announces itself with a window of its own name.
    wait_for sh -c 'xwininfo -root -children 2>/dev/null | grep -q "\"picom\""'
  fi
}

# Ends everything the shot started.
end_session() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
}

# shot NAME WIDTHxHEIGHT COMPOSITOR(yes|no) [ENV=VALUE...]: the program in a sample home. With
# $monitors set, the column and the free panel go to its second monitor.
shot() {
  local name=$1 size=$2 compositor=$3; shift 3
  local sample=$work/$name second
  second=$(sed -n 2p <<<"${monitors:-}" | cut -d' ' -f1)
  "$sampler" write "$sample" ${second:+"$second"}
  session "$name" "$size" "$compositor"

  local log=$work/$name.backdrop
  env "$@" "$sampler" backdrop >"$log" 2>&1 &
  pids+=("$!")
  wait_for grep -qs '^ready' "$log"

  # The program as a user starts it, in the sample's home with a session bus of its own.
  mkdir -p "$sample/runtime" && chmod 700 "$sample/runtime"
  local bus
  bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
  pids+=("$(echo "$bus" | sed -n 2p)")
  env "$@" HOME="$sample/home" XDG_CONFIG_HOME="$sample/config" XDG_DATA_HOME="$sample/data" \
    XDG_DATA_DIRS="$sample/data:/usr/local/share:/usr/share" XDG_CACHE_HOME="$sample/cache" \
    XDG_RUNTIME_DIR="$sample/runtime" QT_QPA_PLATFORM=xcb \
    DBUS_SESSION_BUS_ADDRESS="$(echo "$bus" | sed -n 1p)" \
    "$program" >"$work/$name.log" 2>&1 &
  local app=$!
  pids+=("$app")
  wait_for visible_panels

  # The pointer rests on the dock's third tile: its hover plate and, after half a second, its
  # tooltip.
  local dock x y width height
  dock=$(xdotool search --onlyvisible --name '^Dock$' | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$dock" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | tr 'A-Z' 'a-z')"
  # Moved twice: the first motion may come while the panel still settles into its place.
  xdotool mousemove "$((x + width * 5 / 16 - 8))" "$((y + height * 2 / 5))"
  sleep 0.3
  xdotool mousemove "$((x + width * 5 / 16))" "$((y + height * 2 / 5))"
  sleep 1.2
  import -window root "$out/$name" 2>/dev/null
  echo "screenshot: $out/$name"

  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  end_session
  [ ! -s "$work/$name.log" ] || sed 's/^/  program: /' "$work/$name.log" >&2
}

# gallery_shot NAME WIDTHxHEIGHT COMPOSITOR(yes|no) [ENV=VALUE...]: the developer's gallery, with
# the pointer resting on a tile (GALLERY_SCENE picks another scene).
gallery_shot() {
  local name=$1 size=$2 compositor=$3; shift 3
  session "$name" "$size" "$compositor"
  local args=(--hover)
  [ "$compositor" = no ] || args+=(--translucent)
  local log=$work/$name.gallery
  env QT_QPA_PLATFORM=xcb "$@" "$gallery" "${args[@]}" >"$log" 2>&1 &
  local app=$!
  pids+=("$app")
  wait_for sh -c "grep -qs '^ready' '$log' || ! kill -0 $app 2>/dev/null"
  grep -q '^ready' "$log" || { cat "$log" >&2; echo "screenshot: the gallery ended early" >&2; exit 1; }
  import -window root "$out/$name" 2>/dev/null
  echo "screenshot: $out/$name"
  end_session
}

shot desktop.png 1280x800 yes
shot desktop-opaque.png 1280x800 no
shot desktop-hidpi.png 2560x1600 yes QT_SCALE_FACTOR=2
monitors=$'LEFT 1280x800+0+0\nRIGHT 2560x1600+1280+0' \
  shot desktop-mixed.png 3840x1600 yes 'QT_SCREEN_SCALE_FACTORS=LEFT=1;RIGHT=2'
gallery_shot gallery.png 1280x800 yes
gallery_shot tab-bars.png 1280x800 yes GALLERY_SCENE=tabs
gallery_shot settings.png 1280x800 no GALLERY_SCENE=settings
