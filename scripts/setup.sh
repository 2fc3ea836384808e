#!/bin/bash
# Installs what the builds and tests need on a Debian machine, as root.
# Idempotent: packages already present are not fetched again. The setup
# program is made with NSIS and signed with osslsigncode; its Chinese
# pages are drawn, under Xvfb, with a CJK font. The Windows Installer
# package is made with wixl and checked with msitools.
#
# A package mirror that is being synced serves index files that do not
# match their release file: the update is tried a few times and then goes
# on with what it got. When an index of one architecture is missing (the
# i386 one of the security archive, say), the two architectures' newest
# versions of a library differ, and packages of both cannot go together:
# the install is tried again with the release's own versions preferred,
# which exist for every architecture. An install that still fails names
# its packages.
set -euo pipefail

packages=(cmake make g++ libgtest-dev clang-format clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 wine64 xvfb x11-utils locales fonts-wqy-microhei
  nsis wixl msitools osslsigncode openssl python3 python3-pefile python3-olefile cppcheck clang-tidy)
update_tries=${KIT_APT_UPDATE_TRIES:-4}
update_pause=${KIT_APT_UPDATE_PAUSE:-15}

# apt-get update, a few times while index files fail; then on with the
# indexes it has, old or new.
update_indexes() {
  local try
  for ((try = 1; try <= update_tries; try++)); do
    if apt-get update -q -o Acquire::Retries=3; then
      return 0
    fi
    if ((try < update_tries)); then
      echo "setup: apt-get update failed (try $try of $update_tries); trying again in ${update_pause} s" >&2
      sleep "$update_pause"
    fi
  done
  echo "setup: some package index files could not be fetched; going on with the indexes there are" >&2
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for package in "${packages[@]}"; do
  if ! is_installed "$package"; then
    missing+=("$package")
  fi
done

apt_install() {
  apt-get install -y -q --no-install-recommends "$@"
}

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  update_indexes
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if ! apt_install "${missing[@]}" &&
    ! { [[ -n "$release" ]] && echo "setup: trying again with the versions of $release preferred" >&2 &&
      apt_install -t "$release" "${missing[@]}"; }; then
    # One at a time, to name the packages that cannot be had.
    failed=()
    for package in "${missing[@]}"; do
      if ! is_installed "$package" && ! apt_install "$package"; then
        failed+=("$package")
      fi
    done
    if ((${#failed[@]})); then
      echo "setup: these packages could not be installed: ${failed[*]}" >&2
      echo "setup: the package mirror may be in the middle of a sync; run this again in a few minutes" >&2
      exit 1
    fi
  fi
elif [[ -n "${need_update:-}" ]]; then
  update_indexes
fi

# The Chinese (PRC) prompt is tested under LC_ALL=zh_CN.UTF-8, which Wine
# maps to UI language 0x0804 and code page 936.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  if ! grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  locale-gen >/dev/null
fi
