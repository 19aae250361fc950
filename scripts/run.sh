#!/bin/bash
# Installs what is missing, builds KR-Mirrorix.exe and starts it under Wine
# on the current display, in the current folder (where it keeps Ini.dat and
# log.txt unless the program's own folder already holds an Ini.dat).
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_packages "${BASE_PACKAGES[@]}"
choose_wine
if [ "$TEST_ARCH" = i686 ]; then
    build_arch i686 KR-Mirrorix
    exe="$ROOT/build/i686/KR-Mirrorix.exe"
else
    echo "This kernel cannot run 32-bit programs; starting the 64-bit build of the same code."
    build_arch x86_64 KR-Mirrorix
    exe="$ROOT/build/x86_64/KR-Mirrorix.exe"
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: run this from a desktop session, or under a virtual one:" >&2
    echo "  xvfb-run -a -s '-screen 0 1280x1024x24' bash scripts/run.sh" >&2
    exit 1
fi
exec "$WINE_LOADER" "$exe"
