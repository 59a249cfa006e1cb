# shellcheck shell=bash
# Sourced by the end-to-end scripts: a private X server, a desktop session run
# as an unprivileged user with its own D-Bus bus, HOME and runtime folder, the
# checks, and a clean-up that ends exactly the processes the script started.
set -euo pipefail
E2E_NAME="$(basename "$0" .sh)"
E2E_ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
E2E_BIN="${SORAMEMO_BIN:-$E2E_ROOT/build/bin}"
E2E_WORK="$(mktemp -d /tmp/soramemo-e2e.XXXXXX)"
chmod 755 "$E2E_WORK"
E2E_PIDS=()

e2e_say() { printf '%s: %s\n' "$E2E_NAME" "$*"; }
e2e_ok() { printf '%s: ok   %s\n' "$E2E_NAME" "$*"; }
e2e_fail() {
  printf '%s: FAIL %s\n' "$E2E_NAME" "$*" >&2
  # The screen as it was, for E2E_KEEP=1 runs.
  [ -n "${DISPLAY:-}" ] && timeout 5 import -window root "$E2E_WORK/failure.png" 2>/dev/null
  [ -n "${E2E_KEEP:-}" ] && ps -o pid,stat,wchan:20,etime,args -p "$(e2e_marked_pids | paste -sd,)" >&2
  local log
  for log in "$E2E_WORK"/*.log; do
    [ -s "$log" ] || continue
    printf -- '--- %s (last lines)\n' "$(basename "$log")" >&2
    tail -n 15 "$log" >&2
  done
  exit 1
}
e2e_need() {  # command...
  local c
  for c in "$@"; do
    command -v "$c" >/dev/null || e2e_fail "「$c」がありません: scripts/deps.sh の パッケージを入れてください (./test.sh が入れます)"
  done
}

# Processes started for the session carry this variable; mozc_server and
# other daemons detach from their parent but keep the environment.
E2E_MARK="SORAMEMO_E2E_RUN=$E2E_WORK"
e2e_marked_pids() {
  local p
  for p in /proc/[0-9]*; do
    [ "${p#/proc/}" = "$$" ] && continue
    if tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "$E2E_MARK"; then echo "${p#/proc/}"; fi
  done
}
e2e_cleanup() {
  local pid pids
  for pid in "${E2E_PIDS[@]}"; do kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
  for _ in 1 2 3; do
    pids="$(e2e_marked_pids)"
    [ -z "$pids" ] && break
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null || true
    sleep 0.3
  done
  pids="$(e2e_marked_pids)"
  # shellcheck disable=SC2086
  [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -n "${E2E_KEEP:-}" ] && { echo "kept $E2E_WORK"; return 0; }
  rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# The session user: Mozc's server refuses to run as root.
E2E_AS_USER=()
if [ "$(id -u)" -eq 0 ]; then
  e2e_need setpriv
  E2E_USER=nobody
  E2E_GROUP="$(id -gn nobody)"
  E2E_AS_USER=(setpriv --reuid="$E2E_USER" --regid="$E2E_GROUP" --clear-groups --)
else
  E2E_USER="$(id -un)"
fi
E2E_HOME="$E2E_WORK/home"
mkdir -p "$E2E_HOME/.config" "$E2E_WORK/run" "$E2E_WORK/files"
chmod 700 "$E2E_WORK/run"
# The session writes its logs and files here too.
[ "$(id -u)" -eq 0 ] && chown -R "$E2E_USER:$E2E_GROUP" "$E2E_WORK"

# A private X server on a free display, 1280 × 1024.
e2e_start_x() {
  e2e_need Xvfb xdotool xprop xwininfo import
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$E2E_WORK/display" >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  for _ in $(seq 100); do [ -s "$E2E_WORK/display" ] && break; sleep 0.05; done
  [ -s "$E2E_WORK/display" ] || e2e_fail "Xvfb が起動しません"
  DISPLAY=":$(cat "$E2E_WORK/display")"
  export DISPLAY
}

# e2e_session NAME SCRIPT: runs SCRIPT (bash text) as the session user, in a
# process group of its own, inside a private D-Bus session; output in NAME.log.
e2e_session() {
  local name=$1 script=$2
  e2e_need dbus-run-session
  # shellcheck disable=SC2086
  setsid env -i "$E2E_MARK" PATH="/usr/local/bin:/usr/bin:/bin" DISPLAY="$DISPLAY" \
    HOME="$E2E_HOME" USER="$E2E_USER" LANG=C.UTF-8 XDG_RUNTIME_DIR="$E2E_WORK/run" \
    XDG_CONFIG_HOME="$E2E_HOME/.config" E2E_WORK="$E2E_WORK" E2E_BIN="$E2E_BIN" \
    ${E2E_SESSION_ENV:-} "${E2E_AS_USER[@]}" dbus-run-session -- bash -c "$script" \
    >"$E2E_WORK/$name.log" 2>&1 &
  E2E_PIDS+=($!)
}

# The program's visible window whose title matches REGEX, within 20 s. Asked
# again and again rather than with --sync: a window that goes during the
# search (the splash) makes xdotool give up.
e2e_window() {  # regex
  local w
  for _ in $(seq 200); do
    w="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)" || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  e2e_fail "ウィンドウ「$1」が現れません"
}
e2e_title() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
# Waits until the window's title matches REGEX.
e2e_wait_title() {  # window regex what
  for _ in $(seq 100); do e2e_title "$1" | grep -qE "$2" && return 0; sleep 0.1; done
  e2e_fail "$3 (題名: $(e2e_title "$1"))"
}
e2e_keys() {  # window key...
  local w=$1
  shift
  xdotool windowactivate --sync "$w" 2>/dev/null || xdotool windowfocus --sync "$w"
  xdotool key --clearmodifiers --delay 60 "$@"
}
# Waits for a file to exist with contents that stop changing.
e2e_wait_file() {  # path what
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.1; done
  [ -s "$1" ] || e2e_fail "$2: $1 ができません"
  sleep 0.2
}
e2e_shot() {  # name [geometry]: a PNG of the screen or of a part of it
  import -window root ${2:+-crop "$2"} "$E2E_WORK/$1.png"
}
e2e_same() {  # a.png b.png: the number of pixels that differ
  local n
  n="$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" || true
  [[ "$n" =~ ^[0-9.e+]+$ ]] || e2e_fail "画像を比べられません: $1 $2 ($n)"
  awk -v n="$n" 'BEGIN {printf "%d\n", n + 0}'
}
