#!/usr/bin/env bash
# Packages Quintaro:
#   ./package.sh windows   the Windows build, tested under Wine, as dist/quintaro-<version>-windows-x64.zip
#                          and dist/quintaro-<version>-setup.exe (installed and removed under Wine as a check)
#   ./package.sh deb       dist/quintaro_<version>_<arquitectura>.deb (see tools/deb/)
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^project(Quintaro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
case "${1:-}" in
windows) exec "$root/tools/windows/package.sh" "$version" ;;
deb) exec "$root/tools/deb/package.sh" "$version" ;;
*)
    echo "Uso: ./package.sh windows | deb" >&2
    exit 2
    ;;
esac
