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

# The profile in force is the record that was applied: a profile changed or deleted in the store
# since still has its sharing taken down by the next application.
s=(--machine "$scratch/s.json")
copy="$scratch/s.applied-profile.json"
"$nebrin" "${s[@]}" machine init --demo >/dev/null
"$nebrin" "${s[@]}" save Host --sharing host --public 0 --private 1 >/dev/null
"$nebrin" "${s[@]}" apply 0 >/dev/null
check "a copy of the applied profile is kept beside the machine file" test -f "$copy"
check "the copy is a profile file" contains "$(cat "$copy")" '"format": "nebrin-profiles"'
check "the copy keeps the profile's number" contains "$(cat "$copy")" '"nProfileKey": 0'
check "current: as applied" contains "$("$nebrin" "${s[@]}" current --json)" '"storedSinceApplied": "unchanged"'

"$nebrin" "${s[@]}" edit 0 --sharing none >/dev/null
check "current: changed since applied" contains "$("$nebrin" "${s[@]}" current)" "Profile 0 was changed in the store since it was applied; shown as it was applied."
check "current: the applied host shown" contains "$("$nebrin" "${s[@]}" current --json)" '"nICSFlag": 1'
out=$("$nebrin" "${s[@]}" apply 0); rc=$?
check "edited host applied" test $rc -eq 0
check "edited host: in force as applied" contains "$out" "In force: profile 0 (Host, sharing host) as it was applied; it was changed in the store since."
check "edited host: 21" contains "$out" "Result 21: profile applied."
check "edited host: sharing taken down" test "$(grep -Ec ' (public|private) ' <<<"$("$nebrin" "${s[@]}" sharing)")" -eq 0
check "current: the edited profile is in force now" contains "$("$nebrin" "${s[@]}" current --json)" '"storedSinceApplied": "unchanged"'

# The host's sharing adapters changed: the changed profile is given to the library as another
# one, so the host is set up in full on its new adapters (not left alone with answer 0).
"$nebrin" "${s[@]}" edit 0 --sharing host --public 0 --private 1 >/dev/null
"$nebrin" "${s[@]}" apply 0 >/dev/null
"$nebrin" "${s[@]}" edit 0 --sharing host --public 1 --private 0 >/dev/null
out=$("$nebrin" "${s[@]}" apply 0); rc=$?
check "other sharing adapters: applied" test $rc -eq 0
check "other sharing adapters: in force as applied" contains "$out" "In force: profile 0 (Host, sharing host) as it was applied; it was changed in the store since."
check "other sharing adapters: set up in full" contains "$out" "Result 16: sharing set up."
sharing=$("$nebrin" "${s[@]}" sharing)
check "other sharing adapters: the new host" test "$(grep -c "^Wireless Network Connection .* public " <<<"$sharing")" -eq 1
check "other sharing adapters: the old public side is private now" test "$(grep -c "^Local Area Connection .* private " <<<"$sharing")" -eq 1

# The host deleted: applying another profile still takes its sharing down.
"$nebrin" "${s[@]}" delete 0 >/dev/null
check "current: deleted since applied" contains "$("$nebrin" "${s[@]}" current)" "Profile 0 was deleted from the store since it was applied; shown as it was applied."
check "current --json: deleted" contains "$("$nebrin" "${s[@]}" current --json)" '"storedSinceApplied": "deleted"'
"$nebrin" "${s[@]}" save Plain >/dev/null
out=$("$nebrin" "${s[@]}" apply 1); rc=$?
check "after the deletion: applied" test $rc -eq 0
check "after the deletion: in force as applied" contains "$out" "In force: profile 0 (Host, sharing host) as it was applied; it was deleted from the store since."
check "after the deletion: sharing taken down" test "$(grep -Ec ' (public|private) ' <<<"$("$nebrin" "${s[@]}" sharing)")" -eq 0

# A damaged copy: refused before anything is done, with the way out; --from writes a new one.
echo '{"format": "nebrin-profiles"' >"$copy"
before=$("$nebrin" "${s[@]}" machine show --json)
err=$("$nebrin" "${s[@]}" apply 1 2>&1 >/dev/null); rc=$?
check "damaged copy: refused" test $rc -eq 1
check "damaged copy: explained" contains "$err" "s.applied-profile.json (the copy of the profile applied last) is damaged"
check "damaged copy: the way out" contains "$err" "apply with --from M (the profile in force) or --from none"
check "damaged copy: nothing changed" test "$("$nebrin" "${s[@]}" machine show --json)" = "$before"
check "damaged copy: --from" contains "$("$nebrin" "${s[@]}" apply 1 --from 1)" "Result 21: profile applied."
check "damaged copy: replaced" contains "$(cat "$copy")" '"ProfileName": "Plain"'
# A copy that cannot be written is not left behind stale: the store's last applied profile is
# the fallback.
mkdir "$copy.new"
out=$("$nebrin" "${s[@]}" apply 1 2>"$scratch/err"); rc=$?
check "copy not written: still applied" test $rc -eq 0
check "copy not written: said" contains "$(cat "$scratch/err")" "s.applied-profile.json could not be written"
check "copy not written: the old copy is gone" test ! -e "$copy"
rm -rf "$copy.new"
"$nebrin" "${s[@]}" apply 1 >/dev/null
"$nebrin" "${s[@]}" machine init --demo --force >/dev/null
check "a new machine has no profile in force" test ! -e "$copy"

setm() {  # setm MACHINE-FILE PYTHON-STATEMENT: changes the machine file's document `doc`
  python3 - "$1" "$2" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
exec(sys.argv[2])
json.dump(doc, open(path, "w"))
PY
}
sharedroles() { grep -Ec ' (public|private) ' <<<"$("$nebrin" "$@" sharing)"; }

# A sharing-host set-up that failed half way is in force, marked incomplete: applying the same
# profile again sets it up in full (not the address rewrite of the same host in force).
f=(--machine "$scratch/f.json")
fcopy="$scratch/f.applied-profile.json"
"$nebrin" "${f[@]}" machine init --demo >/dev/null
"$nebrin" "${f[@]}" save Host --sharing host --public 0 --private 1 >/dev/null
setm "$scratch/f.json" 'doc["sharingService"] = "disabled"'
out=$("$nebrin" "${f[@]}" apply 0 2>/dev/null); rc=$?
check "sharing service disabled: status 1" test $rc -eq 1
check "sharing service disabled: 13" contains "$out" "Result 13: enabling sharing on the public connection failed."
check "incomplete set-up: the copy says so" contains "$(cat "$fcopy")" '"setUpIncomplete": true'
check "incomplete set-up: current says so" contains "$("$nebrin" "${f[@]}" current)" "Profile 0's sharing-host set-up did not complete when it was applied; applying it again sets it up in full."
check "incomplete set-up: current --json" contains "$("$nebrin" "${f[@]}" current --json)" '"setUpComplete": false'
# list marks the same profile as current shows, though the store recorded no application.
check "incomplete set-up: list marks it" test "$("$nebrin" "${f[@]}" list | grep -c '^0  *Host .* yes, set-up incomplete')" -eq 1
check "incomplete set-up: list --json marks it" test "$("$nebrin" "${f[@]}" list --json | python3 -c 'import json,sys; r=json.load(sys.stdin)[0]; print(r["lastApplied"], r["setUpComplete"])')" = "True False"
setm "$scratch/f.json" 'doc["sharingService"] = "running"'
out=$("$nebrin" "${f[@]}" apply 0); rc=$?
check "retry after the failed set-up: applied" test $rc -eq 0
check "retry: in force, incomplete" contains "$out" "In force: profile 0 (Host, sharing host); its sharing-host set-up did not complete."
check "retry: set up in full" contains "$out" "Result 16: sharing set up."
check "retry: sharing set up" test "$(sharedroles "${f[@]}")" -eq 2
check "retry: the copy is complete now" test "$(grep -c setUpIncomplete "$fcopy")" -eq 0
check "retry: list marks it applied" test "$("$nebrin" "${f[@]}" list | grep -c '^0  *Host  *0  *yes *$')" -eq 1
# A limited user: the set-up's first pass (sharing off) is refused, 11; with rights, set up.
"$nebrin" "${f[@]}" machine init --demo --force >/dev/null
"$nebrin" "${f[@]}" save Host --sharing host --public 0 --private 1 >/dev/null
setm "$scratch/f.json" 'doc["system"]["administrator"] = False'
out=$("$nebrin" "${f[@]}" apply 0 2>/dev/null); rc=$?
check "limited user: status 1" test $rc -eq 1
check "limited user: 11" contains "$out" "Result 11: switching sharing off on a connection failed."
setm "$scratch/f.json" 'doc["system"]["administrator"] = True'
out=$("$nebrin" "${f[@]}" apply 0); rc=$?
check "limited user, then with rights: set up in full" contains "$out" "Result 16: sharing set up."
check "limited user, then with rights: sharing set up" test "$(sharedroles "${f[@]}")" -eq 2

# Numbers are reused: the host in force deleted and a new host saved under its number, with the
# same adapters and the firewall on. It is another profile, set up in full (firewall and all).
r=(--machine "$scratch/r.json")
"$nebrin" "${r[@]}" machine init --demo >/dev/null
"$nebrin" "${r[@]}" save Office >/dev/null
"$nebrin" "${r[@]}" save Host --sharing host --public 0 --private 1 >/dev/null
"$nebrin" "${r[@]}" apply 1 >/dev/null
check "old host: firewall off" test "$(grep -c '^Local Area Connection .* public  *off ' <<<"$("$nebrin" "${r[@]}" sharing)")" -eq 1
"$nebrin" "${r[@]}" delete 1 >/dev/null
check "new host takes the number" contains "$("$nebrin" "${r[@]}" save "New host" --sharing host --public 0 --private 1 --firewall)" "as profile 1 "
replaced='changed in the store since it was applied (profile 1 is now "New host": renamed, or deleted and another profile saved under its number); shown as it was applied.'
check "current: the number holds another profile" contains "$("$nebrin" "${r[@]}" current)" "Profile 1 was $replaced"
check "list: changed since" test "$("$nebrin" "${r[@]}" list | grep -c '^1  *New host .* yes, changed since')" -eq 1
out=$("$nebrin" "${r[@]}" apply 1); rc=$?
check "new host under the number: applied" test $rc -eq 0
check "new host under the number: set up in full" contains "$out" "Result 16: sharing set up."
check "new host under the number: its firewall on" test "$(grep -c '^Local Area Connection .* public  *on ' <<<"$("$nebrin" "${r[@]}" sharing)")" -eq 1

finish "host apply sharing"
