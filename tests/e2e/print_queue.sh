#!/usr/bin/env bash
# A Japanese document printed through the print dialog to a CUPS queue with a
# PDF printer (cups-pdf): the PDF's text is the document's, and the job's
# title is the document window's caption. The CUPS server is private: its own
# configuration, spool and socket under the work folder.
# shellcheck source=tests/e2e/lib.sh disable=SC2016  # session scripts expand in the session
. "$(dirname "$0")/lib.sh"
e2e_need openbox cupsd lpadmin lpstat pdftotext
[ -x /usr/lib/cups/backend/cups-pdf ] || e2e_fail "cups-pdf がありません (printer-driver-cups-pdf)"
[ "$(id -u)" -eq 0 ] || e2e_fail "PDF プリンター (cups-pdf) は root の cupsd でしか動きません: root で実行してください"
e2e_start_x

# cups-pdf reads /etc/cups/cups-pdf-NAME.conf for the device cups-pdf:/NAME;
# this one file is the only thing written outside the work folder.
queue="soramemo-e2e-$$"
pdf_conf="/etc/cups/cups-pdf-$queue.conf"
c="$E2E_WORK/cups"
mkdir -p "$c/spool" "$c/tmp" "$c/cache" "$c/state" "$c/ppd" "$E2E_WORK/pdf" "$E2E_WORK/pdf-spool"
chown root:root "$c" && chmod 755 "$c"
chown root:lp "$c/spool" "$c/tmp" "$c/cache" "$c/state" && chmod 1770 "$c/spool" "$c/tmp" && chmod 775 "$c/cache" "$c/state"
chmod 1777 "$E2E_WORK/pdf" "$E2E_WORK/pdf-spool"
cleanup_print() {
  rm -f "$pdf_conf"
  e2e_cleanup
}
trap cleanup_print EXIT
cat >"$pdf_conf" <<CONF
Out $E2E_WORK/pdf
AnonDirName $E2E_WORK/pdf
Spool $E2E_WORK/pdf-spool
Log $E2E_WORK/pdf-spool
LogType 3
Grp root
CONF
cat >"$c/cups-files.conf" <<CONF
ServerRoot $c
RequestRoot $c/spool
TempDir $c/tmp
CacheDir $c/cache
StateDir $c/state
AccessLog $c/access_log
ErrorLog $c/error_log
PageLog $c/page_log
User lp
Group lp
SystemGroup root
Sandboxing Relaxed
CONF
cat >"$c/cupsd.conf" <<CONF
Listen $c/cups.sock
LogLevel info
Browsing No
WebInterface No
PreserveJobHistory Yes
PreserveJobFiles Yes
DirtyCleanInterval 0
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cupsd -f -c "$c/cupsd.conf" -s "$c/cups-files.conf" >"$E2E_WORK/cupsd.log" 2>&1 &
E2E_PIDS+=($!)
export CUPS_SERVER="$c/cups.sock"
for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
lpstat -r | grep -q 'is running' || e2e_fail "cupsd が起動しません"
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>"$E2E_WORK/lpadmin.log" ||
  e2e_fail "PDF プリンターを登録できません"
lpadmin -d "$queue"
e2e_ok "private CUPS at $CUPS_SERVER with the PDF queue $queue (default)"

# 吾輩は猫である。 / 名前はまだ無い。 in Shift-JIS.
text=$'吾輩は猫である。\n名前はまだ無い。'
printf '%s\r\n' "${text%%$'\n'*}" "${text#*$'\n'}" | iconv -f UTF-8 -t SHIFT_JIS >"$E2E_WORK/files/猫.txt"
chown -R "$E2E_USER" "$E2E_WORK/files"
E2E_SESSION_ENV="CUPS_SERVER=$CUPS_SERVER" e2e_session desktop '
  openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
  for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" && break; sleep 0.05; done
  cd "$E2E_WORK/files" && exec "$E2E_BIN/soramemo" 猫.txt'
frame=$(e2e_window 'ソラメモ')
sleep 0.5
e2e_keys "$frame" ctrl+p
dialog=$(e2e_window '印刷|Print')
sleep 0.5
e2e_keys "$dialog" Return

for _ in $(seq 200); do compgen -G "$E2E_WORK/pdf/*.pdf" >/dev/null && break; sleep 0.1; done
pdf="$(compgen -G "$E2E_WORK/pdf/*.pdf" | head -n1)" || e2e_fail "PDF が出力されません"
e2e_wait_file "$pdf" "印刷"
# The PDF the program handed to the queue carries the text exactly; the
# printer's own PDF has been through PostScript (pdftops, Ghostscript), which
# keeps the glyphs but not their Unicode values: its lines are compared by
# length.
text_of() { pdftotext -enc UTF-8 -layout "$1" - | tr -d '\f' | sed 's/[[:space:]]*$//' | sed '/^$/d'; }
job="$(compgen -G "$c/spool/d*-001" | head -n1)" || e2e_fail "印刷ジョブの文書が spool にありません"
got="$(text_of "$job")"
[ "$got" = "$text" ] || e2e_fail "印刷ジョブの文字が文書と違います: [$got]"
printed="$(text_of "$pdf" | python3 -c 'import sys; print(*(len(l.rstrip("\n")) for l in sys.stdin))')"
[ "$printed" = "8 8" ] || e2e_fail "PDF プリンターの出力の行の長さが $printed (期待: 8 8)"
[ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || e2e_fail "PDF が 1 ページではありません"
e2e_ok "the job's PDF text equals the document; the printer's PDF: 1 page, two lines of 8 characters"

# The job's title, from its control file (IPP attributes: name, then a
# two-byte length and the value). cupsd writes that file after the job's
# document, when it next saves its state: wait for it.
for _ in $(seq 100); do grep -qs job-name "$c/spool/c00001" && break; sleep 0.1; done
[ -f "$c/spool/c00001" ] || e2e_fail "印刷ジョブの制御ファイルが spool にありません"
title="$(python3 - "$c/spool/c00001" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
at = data.find(b'job-name') + len(b'job-name')
size = int.from_bytes(data[at:at + 2], 'big')
print(data[at + 2:at + 2 + size].decode('utf-8'))
PY
)"
[ "$title" = "猫.txt" ] || e2e_fail "ジョブ名が「$title」(期待: 文書ウィンドウの題名「猫.txt」)"
e2e_ok "job title 「$title」 is the document window's caption"
