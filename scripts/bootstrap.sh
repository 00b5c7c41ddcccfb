#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

need_i386=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
fi

packages=(
  cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev python3
  gcc-mingw-w64-i686 g++-mingw-w64-i686 binutils-mingw-w64-i686
  gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386
  xvfb xfonts-base xauth x11-utils xdotool libxtst-dev imagemagick
  nsis zip unzip
  # Kana and kanji for the About dialog in Japanese mode under Wine.
  fonts-ipafont-gothic
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "$need_i386" = 1 ] || [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" != 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "bootstrap: missing ${missing[*]:-(the i386 architecture)}; installing them needs root or sudo, and this user has neither" >&2
      exit 1
    fi
    if [ ! -t 0 ] && ! sudo -n true 2>/dev/null; then
      echo "bootstrap: missing ${missing[*]:-(the i386 architecture)}; sudo asks for a password and there is no terminal to type it" >&2
      exit 1
    fi
    sudo_cmd=(sudo)
  fi
  echo "bootstrap: installing ${missing[*]:-(i386 architecture)}"
  if [ "$need_i386" = 1 ]; then "${sudo_cmd[@]}" dpkg --add-architecture i386; fi
  # apt waits this long for the package lock, which a fresh machine's
  # automatic upgrades hold for minutes after it boots.
  lock=(-o DPkg::Lock::Timeout=900)
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  # A mirror caught mid-sync fails one index (seen: the security archive's
  # i386 list) while every package needed is still reachable through the
  # others. Try again a few times, then go on: the install below is what
  # must succeed, and it fails loudly if a package really is missing.
  for attempt in 1 2 3; do
    if "${sudo_cmd[@]}" apt-get "${lock[@]}" update -qq; then break; fi
    echo "bootstrap: apt-get update failed (attempt $attempt of 3)" >&2
    [ "$attempt" = 3 ] || sleep 10
  done
  install() {
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "${lock[@]}" install -y -qq "$@" >"$log" 2>&1
  }
  if ! install "${missing[@]}"; then
    # With one architecture's security list missing, the i386 halves of
    # wine32's dependencies exist only at the release's versions while the
    # amd64 halves are offered at the security archive's: multiarch refuses
    # the mix ("unmet dependencies", "held broken packages"). Only then the
    # release's own versions are preferred, which installs a matching set.
    if grep -qE 'Unmet dependencies|held broken packages|but it is not going to be installed' "$log"; then
      codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
      echo "bootstrap: the package versions do not match across architectures; installing from $codename's own release instead:" >&2
      grep -E '^ [^ ].*: Depends:' "$log" | head -n 5 >&2 || true
      if ! install -t "$codename" "${missing[@]}"; then
        echo "bootstrap: the install failed; apt said:" >&2
        tail -n 20 "$log" >&2
        exit 1
      fi
      echo "bootstrap: installed from $codename (not its security updates): ${missing[*]}" >&2
    else
      echo "bootstrap: the install failed; apt said:" >&2
      tail -n 20 "$log" >&2
      exit 1
    fi
  fi
fi
echo "bootstrap: toolchain ready"
