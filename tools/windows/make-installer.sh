#!/usr/bin/env bash
# Writes the Windows installer of a staged program folder: it installs exactly the staged files
# and its uninstaller removes exactly them.
#   tools/windows/make-installer.sh STAGE VERSION SETUP.exe
set -euo pipefail
stage=$1
version=$2
setup=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT
# The lists are UTF-8 with a byte-order mark: file names such as Léame.txt keep their accents.
{
    printf '\xef\xbb\xbf'
    (cd "$stage" && find . -mindepth 1 -type d | sort) | while read -r d; do
        echo "CreateDirectory \"\$INSTDIR\\${d#./}\"" | tr '/' '\\'
    done
    (cd "$stage" && find . -type f | sort) | while read -r f; do
        rel=${f#./}
        echo "File \"/oname=${rel//\//\\}\" \"$stage/$rel\""
    done
} >"$lists/install.nsh"
{
    printf '\xef\xbb\xbf'
    (cd "$stage" && find . -type f | sort) | while read -r f; do
        rel=${f#./}
        echo "Delete \"\$INSTDIR\\${rel//\//\\}\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
        echo "RMDir \"\$INSTDIR\\${d#./}\"" | tr '/' '\\'
    done
} >"$lists/uninstall.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSOURCE="$stage" -DOUTFILE="$setup" \
    -DFILES_INSTALL="$lists/install.nsh" -DFILES_UNINSTALL="$lists/uninstall.nsh" "$root/tools/windows/installer.nsi"
