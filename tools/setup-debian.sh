#!/bin/sh
# Installs the Debian packages a build needs; quiet and quick when they are all present.
#
#   tools/setup-debian.sh                 the default preset (and asan: the same packages)
#   tools/setup-debian.sh fuzz windows-x86 windows-x64
#   tools/setup-debian.sh all             every preset
#
# Runs as root, or through sudo when started by another user. The package lists live here only.
set -eu

# Linux build, the host, tests, benchmarks; clang reads the chief header to name the exported
# members and llvm's tools check them; iproute2 makes the network namespace of the slow tests;
# the host's test scripts read JSON with jq and python3.
default_packages="cmake ninja-build g++ make pkg-config ca-certificates googletest libgtest-dev
libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev libcurl4-openssl-dev iproute2 clang
llvm lld jq python3"
# clang's libFuzzer and sanitizer runtimes.
fuzz_packages="libclang-rt-14-dev"
# The i686 product DLL (mingw-w64's win32 thread model) and its Wine tests (the posix thread
# model: they start threads), run under 32-bit Wine.
x86_packages="mingw-w64 g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64 wine
wine32:i386"
# The x86-64 DLL and its integration tests, run under 64-bit Wine.
x64_packages="mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64 wine wine64"

say() { printf 'setup-debian: %s\n' "$*" >&2; }

wanted=$default_packages
needs_i386=no
[ $# -eq 0 ] && set -- default
for preset in "$@"; do
  case $preset in
    default|asan) ;;
    fuzz) wanted="$wanted $fuzz_packages" ;;
    windows-x86) wanted="$wanted $x86_packages"; needs_i386=yes ;;
    windows-x64) wanted="$wanted $x64_packages" ;;
    all) wanted="$wanted $fuzz_packages $x86_packages $x64_packages"; needs_i386=yes ;;
    -h|--help) sed -n '2,8s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) say "unknown preset '$preset' (default, asan, fuzz, windows-x86, windows-x64 or all)"
       exit 2 ;;
  esac
done

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
  say "this system has no apt-get: install the packages listed in $0 with its own package manager"
  exit 1
fi

# One dpkg-query for all of them keeps the nothing-to-do case well under a second. dpkg names a
# package of the machine's own architecture with or without ":arch", a foreign one always with it.
native=$(dpkg --print-architecture)
missing=$(dpkg-query -W -f='${db:Status-Status} ${binary:Package}\n' $wanted 2>/dev/null |
  awk -v native=":$native" -v wanted="$wanted" '
    $1 == "installed" { name = $2; sub(native "$", "", name); have[name] = 1 }
    END { n = split(wanted, w, /[ \n]+/)
          for (i = 1; i <= n; i++) if (w[i] != "" && !(w[i] in have) && !(w[i] in said)) {
            said[w[i]] = 1; printf "%s ", w[i] } }')
i386_missing=no
if [ $needs_i386 = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  i386_missing=yes
fi
[ -z "$missing" ] && [ $i386_missing = no ] && exit 0

as_root=""
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=sudo
  else
    say "installing needs root: run this script as root or install sudo"
    exit 1
  fi
fi

export DEBIAN_FRONTEND=noninteractive
if [ $i386_missing = yes ]; then
  say "adding the i386 architecture (32-bit Wine)"
  $as_root dpkg --add-architecture i386
fi
say "installing:" $missing
$as_root apt-get update -q
# shellcheck disable=SC2086 # one word a package
$as_root apt-get install -y -q --no-install-recommends $missing
