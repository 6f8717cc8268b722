# Shared by the scripts: installs what is missing, configures and builds,
# and manages the build tree's private Wine prefix. Source it, don't run it.
#
# Two builds: build/win32 is the release (32-bit, as the suite's client
# library is), build/win64 is the same code built for 64-bit Windows with
# the tests. The tests run that one because 64-bit Wine runs on any x86-64
# kernel, while 32-bit Wine needs the kernel's 32-bit emulation, which the
# machines here have switched off.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${PELORIN_BUILD:-$ROOT/build}
BUILD32=$BUILD/win32
BUILD64=$BUILD/win64
export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { printf '[pelorin] %s\n' "$*" >&2; }

# What the native fuzzers need besides cmake: clang and its libFuzzer and
# sanitizer runtimes. Only scripts/fuzz asks for these.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The formatter, for scripts/check-format.
FORMAT_PACKAGES=(clang-format)

# Installs the given packages, or without arguments those of the Windows
# build and its tests.
ensure_packages() {
    local wanted=(cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
                  wine wine64 xvfb xauth googletest imagemagick x11-utils fonts-dejavu-core
                  ${PELORIN_EXTRA_PACKAGES:-})
    [ $# -gt 0 ] && wanted=("$@")
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        log "these packages are missing and installing them needs root"; exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
}

# configure_one DIR TOOLCHAIN [cmake options...]
configure_one() {
    local dir=$1 toolchain=$2; shift 2
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" \
              -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    else
        cmake "$dir" "$@" >/dev/null
    fi
}

configure_and_build() {
    local werror=${PELORIN_WERROR:-OFF}
    configure_one "$BUILD32" mingw-i686.cmake -DPELORIN_TESTS=OFF -DPELORIN_WERROR="$werror"
    configure_one "$BUILD64" mingw-x86_64.cmake -DPELORIN_TESTS=ON -DPELORIN_WERROR="$werror" \
                  -DPELORIN_WINEPREFIX="$WINEPREFIX" -DPELORIN_RELEASE_EXE="$BUILD32/app/Pelorin.exe"
    cmake --build "$BUILD32" -j"$(nproc)" -- --no-print-directory
    cmake --build "$BUILD64" -j"$(nproc)" -- --no-print-directory
}

# Creates the prefix on first use; later runs reuse it.
ensure_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix in $WINEPREFIX (once)"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # A spare drive letter for tests that need a program in a drive root.
    mkdir -p "$BUILD/drive-r"
    [ -e "$WINEPREFIX/dosdevices/r:" ] || ln -s "$BUILD/drive-r" "$WINEPREFIX/dosdevices/r:"
}

# One wineserver for the whole run instead of one per program start.
start_wineserver() {
    wineserver -p
    # The first program started brings up Wine's background services, which
    # then live as long as the server. Started here, they hold no test's
    # output pipe open, which ctest would otherwise wait for until time-out.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
}
