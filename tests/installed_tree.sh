#!/usr/bin/env bash
# Installs the build into a scratch root, as the package does, and uses the installed programs
# from there: nothing may point back into the build tree.
#   tests/installed_tree.sh BUILD_DIR SAMPLE.xml
set -euo pipefail
build=$1
sample=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
cli=$root/usr/bin/quintaro-cli
for f in usr/bin/quintaro-cli usr/share/man/man1/quintaro-cli.1.gz usr/share/man/man1/quintaro.1.gz \
    usr/share/applications/quintaro.desktop usr/share/icons/hicolor/256x256/apps/quintaro.png \
    usr/share/bash-completion/completions/quintaro-cli usr/share/doc/quintaro/copyright; do
    [ -f "$root/$f" ] || { echo "FALLO: no se instaló $f"; exit 1; }
done
version=$("$cli" --version)
[[ $version == "quintaro-cli "[0-9]* ]] || { echo "FALLO: --version"; exit 1; }
# The window's --version answers without opening a window (no display is needed).
if [ -x "$root/usr/bin/quintaro" ]; then
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/quintaro" --version)
    [[ $version == "quintaro "[0-9]* ]] || { echo "FALLO: quintaro --version"; exit 1; }
fi
# The manual page says what --help says: every command is in both. (Output is read whole before it
# is searched: grep -q would stop reading early and fail the writer.)
page=$(zcat "$root/usr/share/man/man1/quintaro-cli.1.gz")
help=$("$cli" --help)
commands=$(sed -n 's/^  quintaro-cli \([a-z]*\).*/\1/p' <<<"$help")
[ "$(wc -w <<<"$commands")" -ge 11 ] || { echo "FALLO: --help no lista las órdenes: $commands"; exit 1; }
for command in $commands; do
    grep -q "^\.B $command\|^\.B quintaro\\\\-cli $command" <<<"$page" \
        || { echo "FALLO: la página de manual no tiene $command"; exit 1; }
done
manual=$("$cli" manual)
grep -q "El modo automático" <<<"$manual" || { echo "FALLO: el manual no va dentro del programa"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$root" "$work"' EXIT
cp "$sample" "$work/escuela.xml"
(cd / && "$cli" exportar "$work/escuela.xml" --marcos M,T --dir "$work/VTEMP" >/dev/null)
[ -f "$work/VTEMP/ASIGT.DBF" ] || { echo "FALLO: la exportación instalada no escribió ASIGT"; exit 1; }
completion=$root/usr/share/bash-completion/completions/quintaro-cli
bash -n "$completion"
# The completion offers every command of --help, and each command's own options (bash-completion's
# helpers stood in for, so that the package itself is not needed).
completed() {
    PATH=$root/usr/bin:$PATH bash -c '
        _init_completion() { words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; cur=${words[cword]}; prev=${words[cword-1]}; }
        _filedir() { :; }
        complete() { :; }
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _quintaro_cli
        printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
offered=$(completed quintaro-cli "")
for command in $commands; do
    grep -qx "$command" <<<"$offered" || { echo "FALLO: la terminación no ofrece $command"; exit 1; }
done
grep -qx -- "--segundos" <<<"$(completed quintaro-cli resolver --)" \
    || { echo "FALLO: la terminación no ofrece --segundos a resolver"; exit 1; }
grep -qx -- "--no-lectivos" <<<"$(completed quintaro-cli COMPROBAR --)" \
    || { echo "FALLO: la terminación no ofrece --no-lectivos a comprobar"; exit 1; }
echo "1 passed, 0 failed"
