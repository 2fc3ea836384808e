#!/bin/bash
# Installs what the builds and tests need on a Debian machine, as root.
# Idempotent: packages already present are not fetched again. The setup
# program is made with NSIS and signed with osslsigncode; its Chinese
# pages are drawn, under Xvfb, with a CJK font.
set -euo pipefail

packages=(cmake make g++ libgtest-dev clang-format clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 wine64 xvfb x11-utils locales fonts-wqy-microhei
  nsis osslsigncode openssl python3-pefile cppcheck clang-tidy)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [[ -n "${need_update:-}" ]]; then
  apt-get update -q
fi

# The Chinese (PRC) prompt is tested under LC_ALL=zh_CN.UTF-8, which Wine
# maps to UI language 0x0804 and code page 936.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  if ! grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  locale-gen >/dev/null
fi
