#!/usr/bin/env bash
# Under a real window manager (openbox): the frame's outer size and centring,
# a document window maximised and restored, the window list.
# shellcheck source=tests/e2e/lib.sh disable=SC2016  # session scripts expand in the session
. "$(dirname "$0")/lib.sh"
e2e_need openbox
e2e_start_x
printf '\x82\xa0\x82\xa2' >"$E2E_WORK/files/a.txt"   # あい
printf '\x82\xa4\x82\xa6' >"$E2E_WORK/files/b.txt"   # うえ
e2e_session desktop '
  openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" && break; sleep 0.05; done
  cd "$E2E_WORK/files" && exec "$E2E_BIN/soramemo" a.txt b.txt'
frame=$(e2e_window 'ソラメモ')
caption="$(e2e_title "$frame")"

# The window manager's frame around the program's window: the ancestor just below the root.
outer() {
  local w=$1 tree parent root
  while tree="$(xwininfo -id "$w" -tree)"; do
    parent=$(sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$tree")
    root=$(sed -n 's/.*Root window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$tree")
    [ -z "$parent" ] || [ "$parent" = "$root" ] && break
    w=$parent
  done
  xwininfo -id "$w" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                           /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}'
}
want="680x510+$(((1280 - 680) / 2))+$(((1024 - 510) / 2))"
for _ in $(seq 50); do [ "$(outer "$frame")" = "$want" ] && break; sleep 0.1; done
[ "$(outer "$frame")" = "$want" ] || e2e_fail "枠を含む外形が $(outer "$frame") (期待 $want)"
xprop -id "$frame" _NET_FRAME_EXTENTS | grep -q '= [1-9]' || e2e_fail "ウィンドウマネージャーの枠がありません"
e2e_ok "frame 680 × 510 with its decorations, centred on 1280 × 1024 ($want)"

# A document window maximised: its caption joins the frame's, as the platform shows it.
read -r fx fy < <(outer "$frame" | awk -F'[x+]' '{print $3, $4}')
xdotool mousemove --sync $((fx + 380)) $((fy + 223)) click --repeat 2 --delay 80 1
e2e_wait_title "$frame" "^$caption - \[b\.txt\]\$" "b.txt が最大化されません"
e2e_ok "b.txt maximised inside the frame (title: $(e2e_title "$frame"))"

# The window list at the end of the ウィンドウ menu: its first entry is a.txt.
e2e_keys "$frame" alt+w
sleep 0.3
xdotool key 1
e2e_wait_title "$frame" "^$caption - \[a\.txt\]\$" "ウィンドウ一覧の「1 a.txt」で a.txt が前に出ません"
e2e_ok "window list: entry 1 brought a.txt forward (title: $(e2e_title "$frame"))"

# The restore button the maximised document leaves in the menu bar's corner.
xdotool mousemove --sync $((fx + 647)) $((fy + 29)) click 1
e2e_wait_title "$frame" "^$caption\$" "元のサイズに戻りません"
[ "$(outer "$frame")" = "$want" ] || e2e_fail "復元後の外形が $(outer "$frame")"
e2e_ok "document restored; frame still $want"
