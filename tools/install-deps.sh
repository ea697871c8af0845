#!/usr/bin/env bash
# Installs, on Debian 12, the packages that the build needs and that are not
# installed yet. `install-deps.sh build` for building and testing; `demo` adds
# what the window needs on screen or under Xvfb; `package` what building and
# checking the Debian package needs; `icons` what tools/icons.sh needs;
# `windows` what the Windows cross-build and its tests under Wine need.
set -euo pipefail

packages=(g++ cmake make pkg-config clang-format googletest libgtest-dev libgmock-dev
  libbenchmark-dev qt6-base-dev libcurl4-openssl-dev libcpp-httplib-dev)
if [[ "${1:-build}" == demo ]]; then
  packages+=(qt6-qpa-plugins fonts-noto-cjk xvfb xauth)
fi
if [[ "${1:-build}" == package ]]; then
  packages+=(dpkg-dev fakeroot file lintian appstream desktop-file-utils man-db)
fi
if [[ "${1:-build}" == icons ]]; then
  packages+=(librsvg2-bin)
fi
if [[ "${1:-build}" == windows ]]; then
  packages+=(g++-mingw-w64-x86-64 wine64 fonts-wine xvfb xauth fonts-noto-cjk xdotool imagemagick)
fi
# `fuzz` adds clang and its libFuzzer runtime, for the fuzz preset.
if [[ "${1:-build}" == fuzz ]]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
