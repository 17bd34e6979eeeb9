#!/usr/bin/env bash
# Builds Quintaro and opens its main window. Without a display it runs the demo round trip
# (export, Velmora stand-in, import) on the sample school. "./run.sh demo" runs the demo always.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
quintaro_install "${QUINTARO_RUN_PACKAGES[@]}"
quintaro_build "$QUINTARO_ROOT/build" -DBUILD_TESTING=OFF

if [ "${1:-}" = "demo" ] || [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    [ "${1:-}" = "demo" ] || echo "No hay pantalla: se ejecuta la demostración con quintaro-cli (ayuda: build/quintaro-cli --help)."
    exec "$QUINTARO_ROOT/tools/demo.sh"
fi
exec "$QUINTARO_ROOT/build/quintaro" "$@"
