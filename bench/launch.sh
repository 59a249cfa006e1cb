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
# event, and ソラメモ's splash does not count as its window. It also reports
# the process's processor time (user + system) up to then, which a busy
# machine disturbs far less than the wall clock: both are summarised.
#
#   bench/launch.sh [build folder]      ROUNDS=n to change the count,
#                                       SORAMEMO=path to time another build
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
DISPLAY=":$(cat "$work/display")"
export DISPLAY
# A home of its own: nothing of the user's settings, nothing left behind.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM SESSION_MANAGER

names=(soramemo bare)
commands=("${SORAMEMO:-$bin/soramemo}" "$bin/soramemo-bare-window")
if command -v abiword >/dev/null; then
  names+=(abiword)
  commands+=("$(command -v abiword)")
else
  echo "AbiWord is not installed: measuring ソラメモ and the bare window only"
fi

declare -A wall cpu
measure() {  # index
  "$bin/soramemo-map-wait" -t 30 "${commands[$1]}" 2>>"$work/errors" || {
    echo "launch.sh: ${names[$1]} showed no window" >&2; cat "$work/errors" >&2; exit 1; }
}
for i in "${!names[@]}"; do measure "$i" >/dev/null; done  # warm-up: caches, fonts
for _ in $(seq "$rounds"); do
  for i in "${!names[@]}"; do
    read -r w c < <(measure "$i")
    wall[${names[$i]}]+="$w "
    cpu[${names[$i]}]+="$c "
  done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a/b}'; }
declare -A mw mc
echo "$rounds runs each, medians in ms (wall: process start to window mapped; cpu: its user + system time)"
printf '%-10s %8s %8s   %s\n' program wall cpu "wall, every run"
for n in "${names[@]}"; do
  mw[$n]="$(echo "${wall[$n]}" | median)"
  mc[$n]="$(echo "${cpu[$n]}" | median)"
  printf '%-10s %8.1f %8.1f   %s\n' "$n" "${mw[$n]}" "${mc[$n]}" "${wall[$n]}"
done
echo "soramemo / bare:    wall $(ratio "${mw[soramemo]}" "${mw[bare]}"), cpu $(ratio "${mc[soramemo]}" "${mc[bare]}")  (target ≤ 1.5)"
if [ -n "${mw[abiword]:-}" ]; then
  echo "soramemo / abiword: wall $(ratio "${mw[soramemo]}" "${mw[abiword]}"), cpu $(ratio "${mc[soramemo]}" "${mc[abiword]}")  (target < 1.0)"
fi
