#!/bin/bash
# Installs what is missing, builds the program and the tests, and runs the
# whole suite under Wine and Xvfb in a prefix, display, Wine server and
# fixture folder of this run's own. Exits non-zero on any failure.
#   bash scripts/test.sh [ctest arguments]
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_packages "${BASE_PACKAGES[@]}"
choose_wine
[ "$TEST_ARCH" = i686 ] || echo "i686 build not runnable here: testing the x86_64 build"
check_format
echo "Building (program i686, tests $TEST_ARCH)"
if [ "$TEST_ARCH" = i686 ]; then
    build_arch i686
else
    build_arch i686 KR-Mirrorix
    build_arch "$TEST_ARCH"
fi
make_run_root
start_display
start_wine
cd "$ROOT/build/$TEST_ARCH"
ctest --output-on-failure --timeout 600 -j1 "$@"
