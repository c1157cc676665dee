#!/usr/bin/env bash
# Installs what building, running and testing Veldis needs on a Debian
# machine: only what is missing, with apt-get (as root). "setup.sh run" adds
# what only the run command needs.
set -euo pipefail

PACKAGES=(
    cmake g++ clang libclang-rt-14-dev libgtest-dev googletest    # native build, tests, fuzzer
    libbenchmark-dev libx11-dev                                   # benchmarks
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix           # the two Windows builds
    wine wine64 xvfb xdotool x11-utils imagemagick fonts-ipafont  # running them
    dosfstools mtools util-linux xxd locales ntfs-3g              # FAT and NTFS volumes, loop devices
    fdisk                                                         # partitioned disks (sfdisk, fdisk)
    sleuthkit                                                     # files read back (fls, istat, icat)
    xclip                                                         # the clipboard Wine fills, read back
    python3-fusepy fuse3 gddrescue                                # a failing medium, ddrescue beside it
    zip unzip                                                     # the release package
)
# F1's manual: a small browser for Wine's browser bridge, which draws Japanese.
if [ "${1:-}" = run ]; then PACKAGES+=(netsurf-gtk); fi

missing=()
for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "Missing packages: ${missing[*]}; run this as root to install them." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
