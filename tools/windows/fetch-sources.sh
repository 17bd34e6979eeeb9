#!/usr/bin/env bash
# Fetches the Debian source packages that the Windows build is made from, with Debian's patches
# applied, into the folder given. Uses its own package lists, so the system's stay as they are.
# A package given without "=VERSION" takes the newest version Debian has now (security updates
# included). Prints one "package=version" line per package, as fetched.
#   tools/windows/fetch-sources.sh DIR PACKAGE[=VERSION]...
set -euo pipefail
dir=$1
shift
mkdir -p "$dir"
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mkdir -p "$state/lists/partial" "$state/parts"
{
    echo "deb-src http://deb.debian.org/debian $codename main"
    echo "deb-src http://deb.debian.org/debian-security $codename-security main"
} >"$state/sources.list"
apt_opts=(-o "Dir::State::Lists=$state/lists" -o "Dir::Etc::SourceList=$state/sources.list"
          -o "Dir::Etc::SourceParts=$state/parts" -o "APT::Sandbox::User=root")
apt-get "${apt_opts[@]}" update -qq >&2

# The newest source version of a package in these lists.
newest() {
    apt-cache "${apt_opts[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -1
}

cd "$dir"
for wanted in "$@"; do
    package=${wanted%%=*}
    version=${wanted#*=}
    [ "$version" = "$wanted" ] && version=$(newest "$package")
    [ -n "$version" ] || { echo "No se encuentra el paquete fuente $package" >&2; exit 1; }
    upstream=${version#*:} # the file names carry no epoch
    if [ ! -f "${package}_${upstream}.dsc" ]; then
        apt-get "${apt_opts[@]}" source --download-only -qq "$package=$version" >&2
    fi
    out=${package}_${upstream}
    [ -d "$out" ] || dpkg-source --no-check -x "$out.dsc" "$out" >/dev/null
    echo "$package=$upstream"
done
