#!/usr/bin/env bash
# End to end on the real executable under a virtual X server: first start,
# create a dossier through the menu, quit, then check the data root.
set -u
DIST="$1"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/home/.config"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
ROOT="$HOME/Documents/Brindell Software Development/Quillmark Planning"

cat > "$WORK/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -u
cd "$1"
./planning &
pid=$!
win=""
for i in $(seq 1 100); do
    win=$(xdotool search --name "^Quillmark Planning 1.34" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -z "$win" ] && { echo "no main window"; kill $pid; exit 1; }
sleep 0.5
xdotool windowfocus --sync "$win"
xdotool key --delay 150 alt+f
sleep 0.4
xdotool key c
sleep 0.8
dlg=$(xdotool search --name "^Dossier$" 2>/dev/null | head -1)
[ -z "$dlg" ] && { echo "no dossier dialog"; kill $pid; exit 1; }
xdotool windowfocus --sync "$dlg"
xdotool type --delay 40 "Essai"
xdotool key Return
sleep 0.8
xdotool windowfocus --sync "$win"
xdotool key --delay 150 alt+f
sleep 0.4
xdotool key q
for i in $(seq 1 50); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "did not quit"; kill $pid; exit 1; fi
wait $pid
DRIVE
chmod +x "$WORK/drive.sh"
xvfb-run -a -s "-screen 0 1280x900x24" "$WORK/drive.sh" "$DIST" || { echo "FAILED: driving the window"; exit 1; }

fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }
check '[ -f "$ROOT/Avertissement.txt" ]' "warning file"
check '[ -f "$ROOT/db.ini" ]' "db.ini"
check '[ -f "$ROOT/Data/Access/PLANNING.MDB" ]' "database copied"
check '[ -d "$ROOT/Data/Images" ] && [ -d "$ROOT/Data/Files" ] && [ -d "$ROOT/Backup" ]' "data tree"
check '[ "$(sqlite3 "$ROOT/Data/Access/PLANNING.MDB" "SELECT LoginName FROM PROFILES")" = "Essai" ]' "dossier created"
check 'grep -q $'"'"'^FirstLaunch=0\r$'"'"' "$ROOT/planning.ini"' "settings written"
check '[ "$(grep -c = "$ROOT/planning.ini")" = 16 ]' "sixteen keys"
check '[ ! -e "$ROOT/write.tmp" ]' "no test file left"
[ $fail = 0 ] && echo "first start end to end: ok"
exit $fail
