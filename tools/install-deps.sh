#!/usr/bin/env bash
# Installs the Debian packages that a purpose needs, if any is missing.
#
#   tools/install-deps.sh test    everything `make test` builds and runs
#   tools/install-deps.sh run     what `make run` needs to build and start the program
#   tools/install-deps.sh web     what `make web` and `make serve` need
#
# Runs apt-get as root, or through sudo; does nothing when all are installed.
set -euo pipefail

case "${1:-}" in
    test)
        # g++-multilib and qemu-user: the 32-bit build and its test run; clang and
        # libclang-rt-14-dev: the fuzzers; python3-pil and the DejaVu fonts: the
        # check that the picture generator reproduces the committed pictures;
        # wine64, xvfb, xdotool, imagemagick and x11-utils: the program driven end
        # to end under Wine; pasmo: the check that the monitor source assembles to
        # the committed ROM image; emscripten, chromium, chromium-driver and
        # python3-selenium: the web page built and driven in headless Chromium
        # (npm below: its editor bundled).
        packages=(make cmake g++ libgtest-dev g++-multilib qemu-user
                  g++-mingw-w64-x86-64 g++-mingw-w64-i686 clang libclang-rt-14-dev
                  python3 python3-pil fonts-dejavu-core
                  wine64 xvfb xdotool imagemagick x11-utils
                  pasmo
                  emscripten chromium chromium-driver python3-selenium)
        ;;
    web)
        # Emscripten compiles the core to WebAssembly; python3-pil turns the
        # pictures into PNG; python3 serves the site; npm (below) brings the editor.
        packages=(make python3 python3-pil emscripten)
        ;;
    run)
        packages=(make cmake g++-mingw-w64-x86-64 wine64)
        ;;
    *)
        echo "usage: $0 test|run|web" >&2
        exit 2
        ;;
esac
# The page's editor is bundled from npm packages (web/editor/): Debian's npm,
# and the nodejs it brings, only where the machine has no npm of its own.
if [ "$1" != run ] && ! command -v npm >/dev/null 2>&1; then
    packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
