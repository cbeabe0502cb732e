#!/usr/bin/env bash
# Applying profiles through the host on a demo machine file: the script dry run, the application
# and what the adapters show afterwards, and the dry run's refusal of a sharing profile.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"

m=(--machine "$scratch/m.json")
"$nebrin" "${m[@]}" save Home >/dev/null
"$nebrin" "${m[@]}" edit 0 --adapter 1 --ip 10.0.0.77 --mask 255.255.0.0 --gateway 10.0.0.254 >/dev/null

script=$("$nebrin" "${m[@]}" script 0); rc=$?
check "script succeeds" test $rc -eq 0
check "script opens with the reset block" test "$(head -c 54 <<<"$script" | tr -d '\r')" = "$(printf 'pushd interface\nreset all\npopd\npushd interface ip')"
check "script lines end with CR LF" contains "$(cat -A <<<"$script")" 'source=dhcp^M$'
check "script has the new address" contains "$script" 'set address name = "Wireless Network Connection" source = static addr = 10.0.0.77 mask = 255.255.0.0'
check "dry run changes no adapter" contains "$("$nebrin" "${m[@]}" adapters)" "10.0.0.5 "

out=$("$nebrin" "${m[@]}" apply 0); rc=$?
check "apply succeeds" test $rc -eq 0
check "apply says what it waits for" contains "$out" 'Running "netsh -f ip.txt" and waiting for it to finish'
check "apply says nothing was in force" contains "$out" "No profile is in force"
check "apply reports 21" contains "$out" "Result 21: profile applied."
adapters=$("$nebrin" "${m[@]}" adapters)
check "adapters show the new address" test "$(grep -c 'static  10.0.0.77 .*255.255.0.0 .*10.0.0.254' <<<"$adapters")" -eq 1
check "profile recorded as applied" contains "$("$nebrin" "${m[@]}" current)" "Profile 0: Home"

# The dry run shows only profiles without sharing: a sharing profile's addresses are applied
# around the sharing step.
"$nebrin" "${m[@]}" edit 0 --sharing host --public 0 --private 1 >/dev/null
err=$("$nebrin" "${m[@]}" script 0 2>&1 >/dev/null); rc=$?
check "script of a sharing profile refused" test $rc -ne 0
check "script refusal explained" contains "$err" "shares a connection (sharing host)"

finish "host apply"
