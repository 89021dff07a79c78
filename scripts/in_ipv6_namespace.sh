#!/usr/bin/env bash
# Runs a command inside a network namespace of its own whose interface has a global IPv6 address
# and a default route, with a Wine session of its own started there: Wine reads the adapter list
# through a helper process that keeps the namespace it was started in, so its server and that
# helper must start inside. The session's prefix is a copy of the build folder's (making a new one
# takes half a minute). The namespace has loopback (127.0.0.1, ::1) and one end of a veth pair with
# 10.77.0.2/24 and the IPv6 address below, a default route of each family through it; the command
# finds the IPv6 address in NB_NAMESPACE_IPV6.
#
# The command runs in a process namespace of its own too, so that nothing it started outlives it.
# The copy of the prefix and the Wine server's folder go afterwards. Where no namespace can be made
# (not root, no veth pairs, no IPv6), it says why and exits with 77, which ctest counts as skipped.
# Usage: in_ipv6_namespace.sh BUILD_DIR COMMAND [ARGS...]   (as root, with DISPLAY set)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift
skip() {
  echo "The IPv6 namespace test is skipped: $*."
  exit 77
}

# A global address (2000::/3), outside the documentation ranges, which the program ignores.
lan6=2a01:4f8:c0c:1e3::5

if [ "${1:-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || skip "only root can make a network namespace"
  command -v ip >/dev/null || skip "the ip command (iproute2) is missing"
  # The mount namespace keeps the propagation of the mounts: changing it needs "/" to be a mount
  # point, which it is not in a chroot; the process list of its own is mounted inside.
  namespaces=(--net --pid --fork --mount --propagation unchanged)
  unshare "${namespaces[@]}" true 2>/dev/null || skip "this system refuses to make namespaces (unshare)"
  . "$here/wine-env.sh"
  [ -n "${WINEPREFIX:-}" ] || wine_prepare "$build"
  # Wine's server keeps a folder named after the prefix's device and inode in a folder
  # /tmp/wine-XXXXXX that servers share, made by the first server that needs it.
  server_dirs() { ls -d /tmp/wine-*/"server-$(stat -c %D "$1")-$(printf %x "$(stat -c %i "$1")")" 2>/dev/null || true; }
  # What a run leaves: its copy of the prefix (with the run's process id) and the server's folder.
  remove_copy() {
    local dir
    for dir in $(server_dirs "$1/prefix"); do
      rm -rf "$dir"
      grep -qxF "${dir%/*}" <<<"$shared_before" || rmdir "${dir%/*}" 2>/dev/null || true
    done
    rm -rf "$1"
  }
  shared_before=$(ls -d /tmp/wine-* 2>/dev/null || true)
  # A run that was killed could not clean up after itself.
  for old in "${TMPDIR:-/tmp}"/nb-ipv6ns.*; do
    if [ -f "$old/pid" ] && ! kill -0 "$(cat "$old/pid")" 2>/dev/null; then remove_copy "$old"; fi
  done
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/nb-ipv6ns.XXXXXX")
  echo $$ >"$scratch/pid"
  inside=""
  trap '[ -z "$inside" ] || { kill -KILL "$inside" 2>/dev/null; wait "$inside" 2>/dev/null || true; }; remove_copy "$scratch"' EXIT
  trap 'exit 143' TERM INT
  cp -a "$WINEPREFIX" "$scratch/prefix"
  # Every process of the namespace dies with its first one, which dies with unshare (--kill-child),
  # which dies with this script (--pdeathsig), however it ends (a time-out of ctest).
  setpriv --pdeathsig KILL unshare "${namespaces[@]}" --kill-child \
    bash "$0" "$build" --inside "$scratch/prefix" "$@" &
  inside=$!
  status=0
  wait "$inside" || status=$?
  inside=""
  exit "$status"
fi

# Inside the namespaces. The process list shows this namespace's processes (Wine reads it); made
# private first, the mount stays in this namespace.
prefix=$2
shift 2
mount --make-private /proc
mount -t proc proc /proc
ip link set lo up
ip link add nb0 type veth peer name nb1 2>/dev/null || skip "this system cannot make a veth pair"
ip link set nb0 up
ip link set nb1 up
ip addr add 10.77.0.2/24 dev nb0
ip route add default via 10.77.0.1
# No duplicate address detection, so that the address is usable at once.
ip -6 addr add "$lan6/64" dev nb0 nodad 2>/dev/null || skip "this system has no IPv6"
ip -6 route add default via fe80::1 dev nb0

. "$here/wine-env.sh"
wine_utf8_names
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" NB_NAMESPACE_IPV6=$lan6
wine_server_start
trap wine_server_stop EXIT
wine_settings_for_tests
"$@"
