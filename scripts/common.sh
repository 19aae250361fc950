# Shared settings of the project's scripts; sourced, not run.
# Chooses the Wine loader the tests run under: wine32 with the 32-bit build
# where this kernel runs i386 programs, else wine64 with a 64-bit build of
# the same code (some hosts have IA-32 emulation switched off).
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all
# Wine turns Linux file names into wide names through this locale.
export LANG=C.UTF-8

# What building and starting the program takes, its tests' sources included:
# the cross compiler of the shipped program, Wine and a display.
BASE_PACKAGES=(cmake make g++-mingw-w64-i686-posix mingw-w64-i686-dev googletest
               wine wine32:i386 xvfb xauth exfat-fuse exfatprogs)
# Checks that every C++ source (program, tests, benchmark) is formatted as
# .clang-format says, with Debian 12's clang-format (version 14).
check_format() {
    install_packages clang-format
    clang-format --version
    (cd "$ROOT" && find app base engine pairs resources tests bench -name '*.cpp' -o -name '*.h' |
        xargs clang-format --dry-run --Werror)
}

# Added where this kernel runs no i386 programs: the 64-bit build and its Wine.
WINE64_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64)

# Installs the given Debian packages that are missing (as root, or through sudo).
install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Sets TEST_ARCH, WINE_LOADER and WINEPREFIX for this machine, installing
# the 64-bit build's packages where wine32 cannot run.
choose_wine() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        TEST_ARCH=i686
        WINE_LOADER=/usr/lib/wine/wine
        export WINEARCH=win32 WINEPREFIX="${MIRRORIX_WINEPREFIX:-$HOME/.wine-mirrorix32}"
    else
        install_packages "${WINE64_PACKAGES[@]}"
        TEST_ARCH=x86_64
        WINE_LOADER=/usr/lib/wine/wine64
        export WINEARCH=win64 WINEPREFIX="${MIRRORIX_WINEPREFIX:-$HOME/.wine-mirrorix64}"
    fi
}

# Configures build/<arch> and builds the given targets (all when none given);
# runs that share this checkout build one after the other.
build_arch() {
    local arch="$1"
    shift
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    local shipped=()
    [ "$arch" = i686 ] || shipped=(-DMIRRORIX_SHIPPED_EXE="$ROOT/build/i686/KR-Mirrorix.exe")
    mkdir -p "$ROOT/build"
    (
        flock 9
        cmake -S "$ROOT" -B "$ROOT/build/$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
            "${shipped[@]}" >/dev/null
        cmake --build "$ROOT/build/$arch" -j"$(nproc)" "${targets[@]}" >/dev/null
    ) 9>"$ROOT/build/.lock"
}

# Makes this run's own folder (mktemp -d) for its Wine prefix, fixtures and
# display number, and removes all of it when the script ends, however it ends.
make_run_root() {
    RUN_ROOT="$(mktemp -d "${TMPDIR:-/tmp}/mirrorix-run.XXXXXX")"
    export WINEPREFIX="$RUN_ROOT/prefix" MIRRORIX_FIXTURES="$RUN_ROOT/fixtures"
    mkdir -p "$MIRRORIX_FIXTURES"
    trap stop_all EXIT
    trap 'exit 130' INT TERM HUP
}

# Starts Xvfb on a display number it picks itself and exports DISPLAY.
start_display() {
    local number="$RUN_ROOT/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" </dev/null >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        if grep -q '^[0-9]*$' "$number" 2>/dev/null && [ -n "$(cat "$number")" ]; then
            export DISPLAY=":$(cat "$number")"
            return 0
        fi
        sleep 0.1
    done
    echo "could not start Xvfb" >&2
    return 1
}

# Makes the run's fresh Wine prefix and starts its own persistent, warmed
# Wine server; every stream redirected so that no test runner ever waits on a
# pipe inherited by Wine's services.
# The server runs without root's override capabilities, so that it enforces
# the read-only attribute and file permissions as Windows does. It returns
# once it listens, so no client can start a server of its own first.
# Every window goes into one virtual desktop: without a window manager, Wine
# waits two seconds for each top-level window that it hides. The setting
# takes effect when the desktop starts anew, hence the server's restart.
start_wine() {
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 || true
    "$WINE_LOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f </dev/null >/dev/null 2>&1 || true
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    setpriv --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search \
        wineserver -p </dev/null >/dev/null 2>&1
    "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Stops the run's Wine server and Xvfb, unmounts what the tests mounted in the
# run's folder and removes the folder.
stop_all() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "${RUN_ROOT:-}" ] || return 0
    local m
    # Deepest first; /proc/mounts writes a blank as \040. A mount on a mount is listed twice.
    awk -v root="$RUN_ROOT/" 'index($2, root) == 1 { print $2 }' /proc/mounts | sort -r | sed 's/\\040/ /g' |
        while IFS= read -r m; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done
    for d in $(losetup -a 2>/dev/null | grep -F "$RUN_ROOT/" | cut -d: -f1); do losetup -d "$d" 2>/dev/null || true; done
    rm -rf "$RUN_ROOT"
}
