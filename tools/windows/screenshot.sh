#!/usr/bin/env bash
# Starts the Windows window under Wine on a virtual screen and keeps a picture of it, to look at
# what a Windows user sees (a build artifact, not committed).
#   tools/windows/screenshot.sh QUINTARO.EXE PICTURE.png
set -euo pipefail
program=$1
picture=$2
source "$(dirname "$0")/wine-env.sh"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 2
DISPLAY=$display "$wine" "$program" >/dev/null 2>&1 &
sleep 12
DISPLAY=$display import -window root "$picture"
"$wineserver" -k || true
echo "La ventana en Windows (Wine): $picture"
