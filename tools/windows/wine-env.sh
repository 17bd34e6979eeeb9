#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: Debian's Wine, a prefix of Quintaro's own in
# the cache (made, reporting Windows 10, the first time), and Wine's messages kept quiet.
# Debian's wine64 package keeps them here; QUINTARO_WINE_DIR points elsewhere.
wine_dir=${QUINTARO_WINE_DIR:-/usr/lib/wine}
wine=$wine_dir/wine64
wineserver=$wine_dir/wineserver
export WINEPREFIX=${QUINTARO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quintaro/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
    "$wineserver" -w
fi
