#!/usr/bin/env bash
# Applying every kind of profile through the host on the demo machine, as docs/cli.md walks a user
# through it: a sharing host from no profile in force, a sharing client over it, a normal profile
# over the client (which starts WZCSVC again); then --from, a refusal that changes nothing, and the
# exit status of a failed application.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"

m=(--machine "$scratch/m.json")
"$nebrin" "${m[@]}" machine init --demo >/dev/null
wired='{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}'
wireless='{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}'
tool='"C:\Program Files\corvane\Nebrin\Tamsel.exe"'

# A: profile 0, H: profile 1, C: profile 2.
"$nebrin" "${m[@]}" save Office >/dev/null
"$nebrin" "${m[@]}" save "Home host" --sharing host --public 0 --private 1 --private-wlan >/dev/null
"$nebrin" "${m[@]}" save "Near a host" --sharing client --private 1 --private-wlan >/dev/null

out=$("$nebrin" "${m[@]}" apply 1); rc=$?
check "H from none succeeds" test $rc -eq 0
check "H: nothing in force" contains "$out" "No profile is in force"
check "H waits for WZCSVC" contains "$out" "Waiting for the wireless configuration service WZCSVC to run, up to 2 minutes..."
check "H announces the tool" contains "$out" "Running the ad hoc tool $tool /1 hidden and waiting for it to end, up to 5 minutes..."
check "H gives 16" contains "$out" "Result 16: sharing set up."
sharing=$("$nebrin" "${m[@]}" sharing)
check "H: wired connection public" test "$(grep -c "^Local Area Connection .* public .*$wired" <<<"$sharing")" -eq 1
check "H: wireless connection private at 192.168.0.1" test "$(grep -c "^Wireless Network Connection .* private .*$wireless  *192.168.0.1$" <<<"$sharing")" -eq 1
check "H: the tool ran with /1" contains "$("$nebrin" "${m[@]}" machine show)" "Tamsel.exe  [$tool /1]"
check "H recorded as applied" contains "$("$nebrin" "${m[@]}" current)" "Profile 1: Home host"

out=$("$nebrin" "${m[@]}" apply 2); rc=$?
check "C over H succeeds" test $rc -eq 0
check "C: H in force" contains "$out" "In force: profile 1 (Home host, sharing host with a private wireless network)."
check "C announces the shell" contains "$out" 'Running "netsh -f ip.txt " and waiting for it to finish'
check "C announces the tool" contains "$out" "Running the ad hoc tool $tool /2 hidden"
check "C gives 16" contains "$out" "Result 16: sharing set up."
sharing=$("$nebrin" "${m[@]}" sharing)
check "C: the host is torn down" test "$(grep -Ec ' (public|private) ' <<<"$sharing")" -eq 0
check "C: the wireless card leases from a host" test "$(grep -c "^Wireless Network Connection .*$wireless  *192.168.0.[0-9]*$" <<<"$sharing")" -eq 1
check "C: the tool ran with /2" contains "$("$nebrin" "${m[@]}" machine show)" "Tamsel.exe  [$tool /2]"

# WZCSVC stopped while the private wireless network runs; leaving the client starts it again.
"$nebrin" "${m[@]}" wireless-service stop >/dev/null
out=$("$nebrin" "${m[@]}" apply 0); rc=$?
check "A over C succeeds" test $rc -eq 0
check "A: C in force" contains "$out" "In force: profile 2 (Near a host, sharing client with a private wireless network)."
check "A gives 21" contains "$out" "Result 21: profile applied."
check "A: WZCSVC started again" test "$(grep -c '^WZCSVC .* start pending' <<<"$("$nebrin" "${m[@]}" machine show)")" -eq 1
check "A: WZCSVC runs once it has started" contains "$("$nebrin" "${m[@]}" wireless-service start)" "WZCSVC is running."
check "A: the wireless card's own address again" test "$(grep -c 'static  10.0.0.5 ' <<<"$("$nebrin" "${m[@]}" adapters)")" -eq 1

# --from: as if another profile, or none, were in force.
out=$("$nebrin" "${m[@]}" apply 2 --from none); rc=$?
check "C from none succeeds" test $rc -eq 0
check "C from none said" contains "$out" "As if no profile were in force."
check "C from none runs the tool with /1" contains "$out" "Running the ad hoc tool $tool /1 hidden"
out=$("$nebrin" "${m[@]}" apply 0 --from 1); rc=$?
check "A from H succeeds" test $rc -eq 0
check "A from H said" contains "$out" "As if profile 1 (Home host, sharing host with a private wireless network) were in force."
err=$("$nebrin" "${m[@]}" apply 0 --from 7 2>&1 >/dev/null); rc=$?
check "unknown --from refused" test $rc -eq 1
check "unknown --from explained" contains "$err" "there is no profile number 7"

# A netsh.exe running: 20, nothing changed, status 1.
python3 - "$scratch/m.json" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
doc["processes"]["table"].append({"id": 4100, "image": "netsh.exe", "openable": True})
json.dump(doc, open(path, "w"))
PY
before=$("$nebrin" "${m[@]}" machine show --json)
out=$("$nebrin" "${m[@]}" apply 1 2>"$scratch/err"); rc=$?
check "netsh running: status 1" test $rc -eq 1
check "netsh running: 20" contains "$out" "Result 20: a netsh.exe process runs already; nothing was done."
check "netsh running: refusal says nothing changed" contains "$(cat "$scratch/err")" "profile 1 was not applied; nothing was changed"
check "netsh running: machine unchanged" test "$("$nebrin" "${m[@]}" machine show --json)" = "$before"

# The ad hoc tool gone: the host set-up ends with 23 and status 1.
python3 - "$scratch/m.json" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
doc["processes"]["table"] = [p for p in doc["processes"]["table"] if p["image"] != "netsh.exe"]
doc["processes"]["programs"] = [p for p in doc["processes"]["programs"] if not p["path"].endswith("Tamsel.exe")]
json.dump(doc, open(path, "w"))
PY
out=$("$nebrin" "${m[@]}" apply 1 2>"$scratch/err"); rc=$?
check "no tool: status 1" test $rc -eq 1
check "no tool: 23" contains "$out" "Result 23: the ad hoc tool did not run."
check "no tool: not fully applied" contains "$(cat "$scratch/err")" "profile 1 was not fully applied"

finish "host apply sharing"
