#!/usr/bin/env bash
# Japanese typed through fcitx5 + Mozc into a new file: the preedit drawn
# inline and not counted, conversion and commit, the counters, the saved
# Shift-JIS bytes, and Escape cancelling a composition without a change.
# shellcheck source=tests/e2e/lib.sh disable=SC2016  # session scripts expand in the session
. "$(dirname "$0")/lib.sh"
e2e_need openbox fcitx5 fcitx5-remote
[ -x /usr/lib/mozc/mozc_server ] || e2e_fail "Mozc がありません (fcitx5-mozc)"
ls /usr/lib/*/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so >/dev/null 2>&1 ||
  e2e_fail "fcitx5 の Qt 6 モジュールがありません (fcitx5-frontend-qt6)"
e2e_start_x

# Mozc, active in every new input context, without pop-up notices.
mkdir -p "$E2E_HOME/.config/fcitx5"
cat >"$E2E_HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
PROFILE
cat >"$E2E_HOME/.config/fcitx5/config" <<'CONFIG'
[Behavior]
ActiveByDefault=True
ShareInputState=All
ShowInputMethodInformation=False
showInputMethodInformationWhenFocusIn=False
CONFIG
[ "$(id -u)" -eq 0 ] && chown -R "$E2E_USER" "$E2E_HOME"

# $1: the document to open. The program waits for fcitx5 on the session bus.
desktop() {
  E2E_SESSION_ENV="QT_IM_MODULE=fcitx" e2e_session "$2" '
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    fcitx5 --disable=notificationitem,clipboard,cloudpinyin >"$E2E_WORK/fcitx5.log" 2>&1 &
    # Asked without starting it: fcitx5-remote would have the bus start a second one.
    for _ in $(seq 100); do
      dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.fcitx.Fcitx5 2>/dev/null | grep -q "boolean true" && break
      sleep 0.1
    done
    cd "$E2E_WORK/files" && exec "$E2E_BIN/soramemo" '"$1"
  frame=$(e2e_window 'ソラメモ')
  # The counter bar: 表示 > カウンタ表示.
  sleep 0.5
  e2e_keys "$frame" alt+v Return
  sleep 0.5
}
# Where the new document's counter bar and first text line are on the screen.
counters=376x16+305+351
line=240x20+307+373
changed() {  # shot-a shot-b: more than a caret's worth of pixels differ
  local n
  n="$(e2e_same "$E2E_WORK/$1.png" "$E2E_WORK/$2.png")" || exit 1
  [ "$n" -gt 40 ]
}
shots() {  # name
  sleep 0.6
  e2e_shot "$1-counters" "$counters"
  e2e_shot "$1-line" "$line"
}

desktop new.txt session1
shots empty
# にほんご, shown while it is being composed.
xdotool key --delay 80 n i h o n g o
shots preedit
changed empty-line preedit-line || e2e_fail "変換中の文字が文書の中に表示されません"
changed empty-counters preedit-counters && e2e_fail "変換中の文字が数えられています"
e2e_ok "preedit drawn inline in the document, the counters unchanged while composing"

xdotool key --delay 150 space Return
shots committed
changed empty-counters committed-counters || e2e_fail "確定した文字が数えられていません"
e2e_keys "$frame" ctrl+s
e2e_wait_file "$E2E_WORK/files/new.txt" "保存"
bytes="$(od -An -tx1 "$E2E_WORK/files/new.txt" | tr -d ' \n')"
[ "$bytes" = "93fa967b8cea" ] || e2e_fail "保存したバイト列が $bytes (期待: 日本語 = 93fa967b8cea)"
e2e_ok "romaji nihongo, Space, Enter: 日本語 committed and saved as Shift-JIS 93 FA 96 7B 8C EA"

# A composition cancelled with Escape leaves the document as it was.
xdotool key --delay 80 k a n a
shots composing
changed committed-line composing-line || e2e_fail "二度目の変換中の文字が表示されません"
xdotool key Escape
shots cancelled
changed committed-line cancelled-line && e2e_fail "Escape のあとも文書の表示が変わっています"
changed committed-counters cancelled-counters && e2e_fail "Escape のあとカウンタが変わっています"
e2e_keys "$frame" ctrl+s
sleep 0.5
[ "$(od -An -tx1 "$E2E_WORK/files/new.txt" | tr -d ' \n')" = "93fa967b8cea" ] ||
  e2e_fail "Escape のあと保存した内容が変わりました"
e2e_ok "Escape cancelled the composition: same text, counters and saved bytes"

# The counters after typing are those of the saved file opened afresh with
# the caret at its end: 1 行 3 列 and the length in bytes.
kill -- "-${E2E_PIDS[-1]}"
wait "${E2E_PIDS[-1]}" 2>/dev/null || true
for _ in $(seq 50); do xdotool search --name 'ソラメモ' >/dev/null 2>&1 || break; sleep 0.1; done
desktop new.txt session2
e2e_keys "$frame" ctrl+End
shots reopened
changed committed-counters reopened-counters && e2e_fail "入力後のカウンタが、保存したファイルを開き直したときと違います"
e2e_ok "counters after typing equal those of the saved file reopened (caret at the end)"
