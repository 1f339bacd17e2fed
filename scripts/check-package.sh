#!/usr/bin/env bash
# Builds the Debian package and checks that it installs and runs.
#   scripts/check-package.sh            install it into a fresh Debian 12 root made with
#                                       debootstrap (as root; downloads about 150 MB)
#   scripts/check-package.sh --contents only check the package's files and dependencies
#                                       with dpkg-deb, and run the unpacked programs here
# Run by CI (.ci/run) with the first form.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-chroot}

cmake --build build --target all >/dev/null
(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/vexojs_*_amd64.deb | head -1)
echo "package: $deb"

fail() { echo "check-package: $*" >&2; exit 1; }

# What any mode checks: the files in their places and the run-time libraries declared.
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/vexojs ./usr/bin/vexojs-cli ./usr/share/applications/vexojs.desktop \
         ./usr/share/icons/hicolor/scalable/apps/vexojs.svg \
         ./usr/share/icons/hicolor/256x256/apps/vexojs.png ./usr/share/man/man1/vexojs-cli.1.gz; do
    grep -q " $f\$" <<<"$contents" || fail "missing $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6network6 libqscintilla2-qt6-15 libjavascriptcoregtk-4.1-0 libxcb1 libmicrohttpd12; do
    grep -q "\b$p\b" <<<"$depends" || fail "Depends lacks $p: $depends"
done
echo "contents and dependencies: ok"

smoke() { # $1: command prefix that runs a program of the installed package
    local run=$1
    $run vexojs-cli --help >/dev/null 2>&1 || fail "vexojs-cli --help failed"
    [ "$($run sh -c "echo 'function f(a){return a*2}' | vexojs-cli minify -")" = "function f(a){return a*2}" ] ||
        fail "vexojs-cli minify gave an unexpected text"
    $run sh -c "echo 'function f(a){return a*2}' >/tmp/vexojs-f.js && vexojs-cli eval --load /tmp/vexojs-f.js 'f(21)'" |
        grep -q '计算结果：42' || fail "vexojs-cli eval failed"
    # The window starts and keeps running until it is ended (a failed start exits early).
    local status=0
    $run env QT_QPA_PLATFORM=offscreen XDG_STATE_HOME=/tmp/vexojs-smoke-state \
        timeout 3 vexojs >/dev/null 2>&1 || status=$?
    [ "$status" -eq 124 ] || fail "vexojs did not start (status $status)"
}

if [ "$mode" = "--contents" ]; then
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb -x "$deb" "$root"
    ! ldd "$root/usr/bin/vexojs" "$root/usr/bin/vexojs-cli" | grep -q 'not found' || fail "unresolved libraries"
    smoke "env PATH=$root/usr/bin:$PATH"
    echo "package check (contents): ok"
    exit 0
fi

[ "$(id -u)" -eq 0 ] || fail "the install check needs root (or use --contents)"
command -v debootstrap >/dev/null || fail "debootstrap is missing (scripts/setup.sh installs it)"
mirror=${VEXO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
root=$(mktemp -d /var/tmp/vexojs-root.XXXXXX)
cleanup() {
    umount "$root/proc" 2>/dev/null || true
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
echo "debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 || { tail -20 "$root.log"; fail "debootstrap failed"; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/vexojs.deb"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
# dpkg -i stops at the missing dependencies; apt-get -f install brings them and finishes.
in_root dpkg -i /tmp/vexojs.deb >/dev/null 2>&1 || true
in_root apt-get -q -f install -y --no-install-recommends >/dev/null || fail "apt-get -f install failed"
in_root dpkg-query -W -f='${Status}\n' vexojs | grep -q 'install ok installed' || fail "vexojs is not installed"
smoke in_root
echo "package check (clean Debian 12 root): ok"
