#!/bin/bash
# Installs what is missing, builds the program and the tests, and runs the
# whole suite under Wine and Xvfb in a prefix, display, Wine server and
# fixture folder of this run's own. Exits non-zero on any failure.
#   bash scripts/test.sh [--load] [ctest arguments]
# --load adds the load test (a tree of 100,000 entries).
set -euo pipefail
source "$(dirname "$0")/common.sh"
labels=(-LE load)
if [ "${1:-}" = --load ]; then labels=(); shift; fi
install_packages
choose_wine
echo "Building (program i686, tests $TEST_ARCH)"
build_arch i686
[ "$TEST_ARCH" = i686 ] || build_arch "$TEST_ARCH"
make_run_root
start_display
start_wine
cd "$ROOT/build/$TEST_ARCH"
ctest --output-on-failure --timeout 600 -j1 "${labels[@]}" "$@"
