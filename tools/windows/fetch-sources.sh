#!/usr/bin/env bash
# Fetches the Debian source packages that the Windows build is made from, with Debian's patches
# applied, into the folder given. Uses its own package lists, so the system's stay as they are.
#   tools/windows/fetch-sources.sh DIR PACKAGE=VERSION...
set -euo pipefail
dir=$1
shift
mkdir -p "$dir"
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mkdir -p "$state/lists/partial" "$state/parts"
echo "deb-src http://deb.debian.org/debian $codename main" >"$state/sources.list"
apt_opts=(-o "Dir::State::Lists=$state/lists" -o "Dir::Etc::SourceList=$state/sources.list"
          -o "Dir::Etc::SourceParts=$state/parts" -o "APT::Sandbox::User=root")
apt-get "${apt_opts[@]}" update -qq
cd "$dir"
for wanted in "$@"; do
    package=${wanted%%=*}
    [ -n "$(find . -maxdepth 1 -name "${package}_*.dsc" -print -quit)" ] && continue
    apt-get "${apt_opts[@]}" source --download-only -qq "$wanted"
done
for dsc in ./*.dsc; do
    out=$(basename "$dsc" .dsc)
    [ -d "$out" ] || dpkg-source --no-check -x "$dsc" "$out" >/dev/null
done
