# Sourced by scripts/test and scripts/run: installs the Debian packages the build and the
# tests need, only when something is missing (a fresh machine has none of them).
ORVALIS_PACKAGES=(cmake ninja-build g++ mingw-w64 g++-mingw-w64-i686-posix
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64
    xvfb x11-utils xdotool imagemagick fonts-ipafont-gothic fonts-wine googletest fp-utils
    clang libclang-rt-14-dev)

ensure_packages() {
    local missing=()
    local p
    for p in "${ORVALIS_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    # With the recommended packages: Wine loads the X, font and TLS libraries it uses at
    # run time, and Debian lists those as recommendations.
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
            "${missing[@]}" >/dev/null
}
