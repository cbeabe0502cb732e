#!/usr/bin/env bash
# The diagnostics and printer commands of the nebrin host on the demo machine, whose network is
# simulated: nothing is sent anywhere and the echo tests take no real time.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"
m=(--machine "$scratch/m.json")
"$nebrin" "${m[@]}" machine init --demo >/dev/null

out=$("$nebrin" "${m[@]}" ping router.home --count 2); rc=$?
check "ping of the router succeeds" test $rc -eq 0
check "one line per attempt" test "$(grep -c '^attempt ' <<<"$out")" -eq 3
check "reply line" contains "$out" "attempt 3: reply from 192.168.1.1 seq 2"
check "ping verdict" contains "$out" "router.home answers"

out=$("$nebrin" "${m[@]}" ping 10.0.0.1); rc=$?
check "silent access point fails" test $rc -eq 1
check "six attempts by default" test "$(grep -c 'no reply within 1 s' <<<"$out")" -eq 6
check "silent verdict" contains "$out" "10.0.0.1 does not answer"

for count in -1 1001 2147483647 99999999999; do
  err=$("$nebrin" "${m[@]}" ping router.home --count $count 2>&1); rc=$?
  check "count $count refused" test $rc -eq 1
  check "count $count refusal is a sentence" contains "$err" "the count must be from 0 to 1000"
done

out=$("$nebrin" "${m[@]}" ping nowhere.invalid); rc=$?
check "unresolvable name fails" test $rc -eq 1
check "unresolvable name explained" contains "$out" "could not start"

out=$("$nebrin" "${m[@]}" url http://www.example.com/); rc=$?
check "listed url reachable" test $rc -eq 0
check "reachable (3)" contains "$out" "reachable (3)"
out=$("$nebrin" "${m[@]}" url gopher://www.example.com/); rc=$?
check "unsupported scheme not reachable" test $rc -eq 1
check "not reachable (5)" contains "$out" "not reachable (5)"

out=$("$nebrin" "${m[@]}" diag --live --url http://www.example.com/); rc=$?
check "wired adapter diagnosis passes" test $rc -eq 0
check "cable connected" contains "$out" "cable:    connected"
check "53 in words" contains "$out" "the gateway and the DNS server answer (53)"
out=$("$nebrin" "${m[@]}" diag --live --adapter 1); rc=$?
check "wireless adapter diagnosis reports faults" test $rc -eq 1
check "no cable" contains "$out" "unplugged"
check "52 in words" contains "$out" "(52)"
err=$("$nebrin" "${m[@]}" diag --live --adapter 4 2>&1); rc=$?
check "missing adapter refused" test $rc -ne 0
check "missing adapter named" contains "$err" "there is no adapter 4"
err=$("$nebrin" "${m[@]}" diag 2>&1); rc=$?
check "diag needs a profile or --live" test $rc -ne 0

out=$("$nebrin" "${m[@]}" printers); rc=$?
check "printers listed" test $rc -eq 0
check "default marked" contains "$out" "* Office Laser 4050"
check "others unmarked" contains "$out" "  Photo Inkjet 4200"
json=$("$nebrin" "${m[@]}" printers --json)
check "json marks one default" test "$(grep -c '"bIsDefault": 1' <<<"$json")" -eq 1
out=$("$nebrin" "${m[@]}" printer-wizard); rc=$?
check "wizard started" test $rc -eq 0
check "wizard start reported" contains "$out" "started the add-printer wizard"
check "wizard command recorded" grep -qF 'Rundll32.exe printui.dll, PrintUIEntry /il' "$scratch/m.json"
err=$("$nebrin" --native printer-wizard 2>&1); rc=$?
check "wizard without a system to start it fails" test $rc -eq 1
check "wizard not started said so" contains "$err" "was not started"

sed 's/"default": "Office Laser 4050"/"default": null/' "$scratch/m.json" >"$scratch/nodefault.json"
err=$("$nebrin" --machine "$scratch/nodefault.json" printers 2>&1); rc=$?
check "printers without a default printer refused" test $rc -eq 1
check "missing default printer named" contains "$err" "no default printer is set"
err=$("$nebrin" --native printers 2>&1); rc=$?
check "printers without a spooler refused" test $rc -eq 1
check "spooler failure named" contains "$err" "printer list could not be read"

"$nebrin" --machine "$scratch/bare.json" machine init >/dev/null
out=$("$nebrin" --machine "$scratch/bare.json" printers)
check "bare machine has no printers" contains "$out" "no printers installed"

finish "host diag"
