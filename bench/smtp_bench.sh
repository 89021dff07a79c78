#!/usr/bin/env bash
# Sending a message with a 10 MB attachment over STARTTLS to a loopback aiosmtpd: SmtpMailer under
# Wine against swaks (Debian's package) for the same message and server, best of three rounds each,
# and the sending process's peak working set growth. Called by bench/run.sh with the Wine
# environment ready; prints the figures.
set -euo pipefail
export LC_ALL=C
build=$1
folder=$build/benchmail
mkdir -p "$folder"
/usr/bin/python3 tests/mail/mail_servers.py start "$folder"
trap '/usr/bin/python3 tests/mail/mail_servers.py stop "$folder"' EXIT
port=$(awk '$1 == "starttls" {print $2}' "$folder/servers.txt")
attachment=$folder/attachment.bin
head -c $((10 * 1024 * 1024)) /dev/urandom >"$attachment"
rounds=3

ours=$("$build/wine-run.sh" "$build/bench/smtp_bench.exe" "$port" "Z:$folder/certs/ca.der" "Z:$attachment" "$rounds" | tr -d "\r")
best_ours=$(echo "$ours" | awk '$1 == "send" {print $2}' | sort -n | head -1)
growth=$(echo "$ours" | awk '$1 == "peak_growth" {print $2}')
growth_warm=$(echo "$ours" | awk '$1 == "peak_growth_after_warm_up" {print $2}')

best_swaks=""
for _ in $(seq "$rounds"); do
  start=$(date +%s.%N)
  swaks --silent 2 --server 127.0.0.1:"$port" --tls --tls-verify --tls-ca-path "$folder/certs/ca.pem" \
        --tls-sni localhost -a PLAIN -au alice -ap 'Secr3t pass' --from bench@example.com --to swaks@example.com \
        --header 'Subject: Benchmark' --body $'Here\'s my new IP:\r\n192.0.2.1' --attach @"$attachment" >/dev/null
  took=$(echo "$(date +%s.%N) - $start" | bc -l)
  if [ -z "$best_swaks" ] || [ "$(echo "$took < $best_swaks" | bc -l)" = 1 ]; then best_swaks=$took; fi
done
cmp -s "$folder/received/bench/att-0.bin" "$attachment" || { echo "the attachment arrived changed" >&2; exit 1; }
cmp -s "$folder/received/swaks/att-0.bin" "$attachment" || { echo "swaks's attachment arrived changed" >&2; exit 1; }

printf 'SmtpMailer (under Wine, the send itself): %.3f s, best of %d\n' "$best_ours" "$rounds"
printf 'swaks (native, whole process):            %.3f s, best of %d\n' "$best_swaks" "$rounds"
printf 'ratio SmtpMailer / swaks:                 %.2f (at most 1.5 wanted)\n' "$(echo "$best_ours / $best_swaks" | bc -l)"
printf 'peak working set growth, whole process:   %.1f MB for a 10 MB attachment (%.0f%%; under 50%% wanted)\n' \
  "$(echo "$growth / 1048576" | bc -l)" "$(echo "100 * $growth / 10485760" | bc -l)"
printf '  of which after a first send had loaded the libraries: %.1f MB (%.0f%%)\n' \
  "$(echo "$growth_warm / 1048576" | bc -l)" "$(echo "100 * $growth_warm / 10485760" | bc -l)"
