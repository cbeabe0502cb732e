#!/usr/bin/env bash
# Runs the nebrin host against machine files in a scratch folder and checks what a person sees.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"

# First use creates the demo machine in the XDG state folder.
out=$(XDG_STATE_HOME=$scratch/state "$nebrin" adapters 2>&1); rc=$?
check "adapters on a fresh demo machine succeeds" test $rc -eq 0
check "default machine file created" test -f "$scratch/state/nebrin/machine.json"
check "wired adapter listed" contains "$out" "192.168.1.34"
check "wireless adapter listed" contains "$out" "10.0.0.5"
check "virtual adapter not kept" test "$(grep -c 'Virtual' <<<"$out")" -eq 0
check "two adapters" test "$(grep -cE '^[0-9]+ .*(wired|wireless)' <<<"$out")" -eq 2

json=$("$nebrin" --machine "$scratch/state/nebrin/machine.json" adapters --json)
check "json adapter count" contains "$json" '"AdapterCount": 2'

# machine init refuses to replace a file unless told to.
"$nebrin" --machine "$scratch/m.json" machine init >/dev/null
check "bare machine created" test -f "$scratch/m.json"
"$nebrin" --machine "$scratch/m.json" machine init --demo >/dev/null 2>&1; rc=$?
check "init refuses an existing file" test $rc -ne 0
"$nebrin" --machine "$scratch/m.json" machine init --demo --force >/dev/null
show=$("$nebrin" --machine "$scratch/m.json" machine show)
check "show lists the demo adapters" contains "$show" "Bluetooth Network"

# A bare machine has no adapters: the capture fails with a sentence and a non-zero status.
"$nebrin" --machine "$scratch/bare.json" machine init >/dev/null
err=$("$nebrin" --machine "$scratch/bare.json" adapters 2>&1 >/dev/null); rc=$?
check "capture on a bare machine fails" test $rc -ne 0
check "failure is explained" contains "$err" "nebrin: "

# A damaged machine file is reported with its name and left as it was.
printf '{"format": "nebrin-machine", "version": 1, "system": ' >"$scratch/bad.json"
before=$(sha256sum "$scratch/bad.json")
err=$("$nebrin" --machine "$scratch/bad.json" adapters 2>&1 >/dev/null); rc=$?
check "damaged file fails" test $rc -ne 0
check "damaged file named" contains "$err" "bad.json"
check "damaged file untouched" test "$(sha256sum "$scratch/bad.json")" = "$before"

# The profile store on the demo machine: save two profiles, list, show, rename, delete, forget.
store=(--machine "$scratch/store.json")
"$nebrin" "${store[@]}" machine init --demo >/dev/null
out=$("$nebrin" "${store[@]}" save Office --icon 2); rc=$?
check "save prints the new number" test $rc -eq 0 -a "$out" = 'Saved "Office" as profile 0 with 2 adapters.'
out=$("$nebrin" "${store[@]}" save Home)
check "second profile takes the next number" contains "$out" "as profile 1"
err=$("$nebrin" "${store[@]}" save Office 2>&1 >/dev/null); rc=$?
check "taken name refused" test $rc -ne 0
check "taken name explained" contains "$err" 'a profile named "Office" already exists'
list=$("$nebrin" "${store[@]}" list)
check "list shows both profiles" test "$(grep -cE '^[01] +(Office|Home) ' <<<"$list")" -eq 2
json=$("$nebrin" "${store[@]}" list --json)
check "list json names profile 1" contains "$json" '"ProfileName": "Home"'
show=$("$nebrin" "${store[@]}" show 0)
check "show names the profile" contains "$show" "Profile 0: Office"
check "show has the DHCP lease" contains "$show" "192.168.1.34"
check "show has the static adapter's metric" test "$(grep -c 'static.*10.0.0.5.* 20$' <<<"$show")" -eq 1
err=$("$nebrin" "${store[@]}" show 9 2>&1 >/dev/null); rc=$?
check "unknown profile refused" test $rc -ne 0
check "unknown profile explained" contains "$err" "there is no profile number 9"
"$nebrin" "${store[@]}" rename 1 Lab >/dev/null; rc=$?
check "rename succeeds" test $rc -eq 0
check "renamed profile listed" contains "$("$nebrin" "${store[@]}" list)" "Lab"
err=$("$nebrin" "${store[@]}" rename 1 Office 2>&1 >/dev/null); rc=$?
check "rename to a taken name refused" test $rc -ne 0
before=$(sha256sum "$scratch/store.json")
err=$("$nebrin" "${store[@]}" edit 1 --adapter 1 --ip 10.0.0.256 --mask 255.255.255.0 2>&1 >/dev/null); rc=$?
check "bad address refused" test $rc -ne 0
check "bad address named" contains "$err" '"10.0.0.256"'
check "refused edit writes nothing" test "$(sha256sum "$scratch/store.json")" = "$before"
"$nebrin" "${store[@]}" edit 1 --adapter 1 --ip 10.0.0.9 --mask 255.255.0.0 --metric 5 >/dev/null
check "edit rewrites the adapter" contains "$("$nebrin" "${store[@]}" show 1)" "10.0.0.9"
"$nebrin" "${store[@]}" delete 0 >/dev/null; rc=$?
check "delete succeeds" test $rc -eq 0
list=$("$nebrin" "${store[@]}" list)
check "deleted profile gone, the other keeps its number" test "$(grep -cE '^1 +Lab ' <<<"$list")" -eq 1 -a "$(grep -c Office <<<"$list")" -eq 0
err=$("$nebrin" "${store[@]}" delete 0 2>&1 >/dev/null); rc=$?
check "deleting it again refused" test $rc -ne 0
"$nebrin" "${store[@]}" forget >/dev/null; rc=$?
check "forget succeeds" test $rc -eq 0
check "nothing left after forget" contains "$("$nebrin" "${store[@]}" list)" "No profiles stored."
check "store starts afresh" contains "$("$nebrin" "${store[@]}" save New)" "as profile 0"

finish "host"
