#!/bin/bash
# Builds the program, starts it under Xvfb in Wine's virtual desktop (which
# draws the window frame) with one sample pair, and writes the picture of
# the main window to docs/main-window.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_packages "${BASE_PACKAGES[@]}" imagemagick
choose_wine
build_arch "$TEST_ARCH" KR-Mirrorix
make_run_root
start_display
start_wine
work="$RUN_ROOT/shot"
mkdir -p "$work"
printf "@@'C:\\\\Daten\\\\Fotos\\\\' -> 'D:\\\\Sicherung\\\\Fotos\\\\'\0" > "$work/Ini.dat"
(cd "$work" && "$WINE_LOADER" "$ROOT/build/$TEST_ARCH/KR-Mirrorix.exe" </dev/null >/dev/null 2>&1 &)
sleep 6
mkdir -p "$ROOT/docs"
import -display "$DISPLAY" -window root "$work/root.png"
convert "$work/root.png" -trim +repage "$ROOT/docs/main-window.png"
echo "wrote docs/main-window.png"
