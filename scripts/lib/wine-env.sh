# Sourced by scripts/run and scripts/test: a Wine prefix whose processes share one
# virtual desktop (global hooks are per desktop) on a private Xvfb display.
#
# Wine runs the main x86_64 build: these Linux machines cannot execute 32-bit ELF
# binaries, so a 32-bit Wine cannot start here. The i686 build (for 32-bit Windows) is
# compiled and checked statically.

ORVALIS_DISPLAY=${ORVALIS_DISPLAY:-:71}
ORVALIS_WINEPREFIX=${ORVALIS_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/orvalis/wine-prefix}
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

export WINEPREFIX="$ORVALIS_WINEPREFIX" WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_run() { "$WINE64" "$@"; }

# Starts Xvfb on $ORVALIS_DISPLAY unless something already serves it. A lock left by an
# Xvfb that was killed is cleared; a display held by a live stranger makes it try the
# next numbers.
ensure_display() {
    local n=${ORVALIS_DISPLAY#:}
    local last=$((n + 10))
    for ((; n <= last; n++)); do
        export DISPLAY=":$n"
        if xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return 0; fi
        local lock="/tmp/.X$n-lock"
        if [ -f "$lock" ]; then
            local pid
            pid=$(tr -d ' ' <"$lock" 2>/dev/null)
            if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then continue; fi
            rm -f "$lock" "/tmp/.X11-unix/X$n"
        fi
        Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        for _ in $(seq 1 50); do
            xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
            sleep 0.1
        done
    done
    echo "Xvfb did not start on any display from $ORVALIS_DISPLAY" >&2
    return 1
}

# Creates and configures the prefix once; later calls find the stamp and return.
ensure_prefix() {
    local stamp="$WINEPREFIX/.orvalis-prefix-v2"
    [ -f "$stamp" ] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wine_run wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
    local reg
    reg=$(mktemp --suffix=.reg)
    # UseTakeFocus=Y: no window manager runs here, so every X focus event is the late echo
    # of an activation some program made itself. With N the X driver activates the window
    # named by that echo; when the program has already activated another window by then, the
    # two hand the activation back and forth for as long as they live (two windows shown in
    # one go are enough; after a kill, whose global hook this Wine keeps calling in every
    # later program, it happened nearly every time). With Y only the programs' own calls and
    # real input activate, as on Windows.
    cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
"EnableShell"=dword:00000001

[HKEY_CURRENT_USER\Control Panel\Mouse]
"MouseSpeed"="0"
"MouseThreshold1"="0"
"MouseThreshold2"="0"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAGothic"
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"
"Tahoma"="IPAGothic"
"Verdana"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"UseTakeFocus"="Y"
REG
    # regedit reads the file as text in the ANSI code page unless it is UTF-16.
    iconv -f UTF-8 -t UTF-16 "$reg" >"$reg.u16" && mv "$reg.u16" "$reg"
    wine_run regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1
    "$WINESERVER" -w
    rm -f "$reg"
    touch "$stamp"
}

# A copy of the prefix whose screens run at $1 DPI (144 is 150 % scaling), in $2: for the
# tests that lay the program's windows out at that DPI. Made once from the prefix above,
# which must be ready and idle.
ensure_dpi_prefix() {
    local dpi=$1 dir=$2
    local stamp="$dir/.orvalis-prefix-v2-dpi$dpi"
    [ -f "$stamp" ] && return 0
    "$WINESERVER" -w
    rm -rf "$dir"
    cp -a "$WINEPREFIX" "$dir" || return 1
    local reg hex
    hex=$(printf '%08x' "$dpi")
    reg=$(mktemp --suffix=.reg)
    cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:$hex

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:$hex
REG
    (
        export WINEPREFIX="$dir"
        wine_run regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1
        "$WINESERVER" -w
    )
    rm -f "$reg"
    grep -qi "\"LogPixels\"=dword:$hex" "$dir/user.reg" || return 1
    touch "$stamp"
}

winepath_of() { "$WINE64" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# Ends every process of this prefix (and only this prefix).
stop_wine() { "$WINESERVER" -k >/dev/null 2>&1 || true; }
