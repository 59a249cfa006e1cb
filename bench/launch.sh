#!/usr/bin/env bash
# Launch time as a user sees it: from the moment the process is created to the
# moment its main window is mapped, on a private Xvfb without a window manager.
# ソラメモ, a bare Qt window (menu bar and text edit) and, when installed,
# AbiWord are started in turns, after one unmeasured warm-up round, ROUNDS
# times each (12 by default); the medians and the ratios are printed.
#
# The timer (soramemo-map-wait) watches the root window's map events from
# before the fork and stops at the first map of a normal top-level window
# whose _NET_WM_PID is the child: no polling, so the figure is exact to the
# event, and ソラメモ's splash does not count as its window.
#
#   bench/launch.sh [build folder]      ROUNDS=n to change the count
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
rounds="${ROUNDS:-12}"
bin="$build/bin"
for tool in soramemo soramemo-bare-window soramemo-map-wait; do
  if [ ! -x "$bin/$tool" ]; then
    echo "launch.sh: $bin/$tool がありません。先にビルドしてください (cmake --build $build)" >&2
    exit 1
  fi
done
command -v Xvfb >/dev/null || { echo "launch.sh: Xvfb がありません (apt-get install xvfb)" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# -displayfd: the server picks a free display and tells which.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "launch.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
# A home of its own: nothing of the user's settings, nothing left behind.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$HOME"
unset QT_QPA_PLATFORM SESSION_MANAGER

names=(soramemo bare)
commands=("$bin/soramemo" "$bin/soramemo-bare-window")
if command -v abiword >/dev/null; then
  names+=(abiword)
  commands+=("$(command -v abiword)")
else
  echo "AbiWord is not installed: measuring ソラメモ and the bare window only"
fi

declare -A times
measure() {  # index
  "$bin/soramemo-map-wait" -t 30 "${commands[$1]}" 2>>"$work/errors" || {
    echo "launch.sh: ${names[$1]} showed no window" >&2; cat "$work/errors" >&2; exit 1; }
}
for i in "${!names[@]}"; do measure "$i" >/dev/null; done  # warm-up: caches, fonts
for _ in $(seq "$rounds"); do
  for i in "${!names[@]}"; do times[${names[$i]}]+="$(measure "$i") "; done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
declare -A med
printf '%-10s %9s   %s\n' program median "all runs (ms)"
for n in "${names[@]}"; do
  med[$n]="$(echo "${times[$n]}" | median)"
  printf '%-10s %6.1f ms   %s\n' "$n" "${med[$n]}" "${times[$n]}"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a/b}'; }
echo "soramemo / bare    = $(ratio "${med[soramemo]}" "${med[bare]}")  (target ≤ 1.5)"
[ -n "${med[abiword]:-}" ] && echo "soramemo / abiword = $(ratio "${med[soramemo]}" "${med[abiword]}")  (target < 1.0)"
exit 0
