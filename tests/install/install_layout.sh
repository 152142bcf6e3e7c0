#!/usr/bin/env bash
# cmake --install into a staging root: the program directory under the
# prefix as build/dist/ has it, a valid desktop entry that starts the program
# from that directory, and the hicolor icon.
set -u
BUILD="$1"
DIST="$BUILD/dist"
PREFIX=/opt/quillmark-planning
XDG_DATA=$(sed -n 's/^PLANNING_XDG_DATA_DIR:PATH=//p' "$BUILD/CMakeCache.txt")
STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
DESTDIR="$STAGE" cmake --install "$BUILD" --prefix "$PREFIX" >"$STAGE.log" 2>&1 || { cat "$STAGE.log"; rm -f "$STAGE.log"; echo "FAILED: cmake --install"; exit 1; }
rm -f "$STAGE.log"
PROG="$STAGE$PREFIX"
ENTRY="$STAGE$XDG_DATA/applications/quillmark-planning.desktop"

fail=0
check() { if ! eval "$1"; then echo "FAILED: $2"; fail=1; fi; }
check '[ -x "$PROG/planning" ]' "executable in the program directory"
check '[ -f "$PROG/Ressources/DB/Data/Access/PLANNING.MDB" ] && [ -f "$PROG/Ressources/DB/db.ini" ]' "installation files"
check '[ -f "$PROG/doc.htm" ] && [ -f "$PROG/html/mdac.htm" ]' "help and pages"
# Every file of the built program directory is installed, unchanged.
while IFS= read -r f; do
    [ "$f" = "./planning" ] && continue
    check 'cmp -s "$DIST/$f" "$PROG/$f"' "installed $f"
done < <(cd "$DIST" && find . -type f)
check '[ -f "$ENTRY" ]' "desktop entry"
check 'desktop-file-validate "$ENTRY"' "desktop-file-validate"
check 'grep -qx "Path=$PREFIX" "$ENTRY"' "Path= is the program directory"
check 'grep -qx "Exec=\"$PREFIX/planning\"" "$ENTRY"' "Exec= starts the installed program"
check 'grep -qx "Icon=quillmark-planning" "$ENTRY"' "icon name"
check '[ -f "$STAGE$XDG_DATA/icons/hicolor/scalable/apps/quillmark-planning.svg" ]' "hicolor icon"
[ $fail = 0 ] && echo "install layout: ok"
exit $fail
