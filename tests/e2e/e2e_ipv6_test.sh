#!/usr/bin/env bash
# The IPv6 end-to-end test, run inside the network namespace of scripts/in_ipv6_namespace.sh:
# once with the interface's global IPv6 address, then once more after it is taken away.
# Usage: e2e_ipv6_test.sh WINE_RUN E2E_TEST_EXE
set -euo pipefail
run() { "$1" "$2" --gtest_filter='EndToEnd.FindInANetworkNamespace*'; }
run "$@"
ip -6 addr del "$NB_NAMESPACE_IPV6/64" dev nb0
NB_NAMESPACE_IPV6=none run "$@"
