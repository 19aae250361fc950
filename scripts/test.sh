#!/bin/bash
# Installs what is missing, builds the program and the tests, and runs the
# whole suite under Wine and Xvfb. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"
install_packages
choose_wine
echo "Building (program i686, tests $TEST_ARCH)"
build_arch i686
[ "$TEST_ARCH" = i686 ] || build_arch "$TEST_ARCH"
trap stop_all EXIT
start_display
start_wine
cd "$ROOT/build/$TEST_ARCH"
ctest --output-on-failure --timeout 600 -j1 "$@"
