#!/usr/bin/env bash
# The wireless commands on a demo machine file: the wireless configuration service stopped and
# started again, the ad hoc tool run, running and missing, the driver's service, the product's
# service and the connection menu command.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"

m=(--machine "$scratch/m.json")
"$nebrin" "${m[@]}" machine init --demo >/dev/null

check "WZCSVC runs on the demo machine" contains "$("$nebrin" "${m[@]}" wireless-service status)" "WZCSVC is running."
out=$("$nebrin" "${m[@]}" wireless-service stop); rc=$?
check "stop succeeds" test $rc -eq 0
check "stop says it sent the stop control" contains "$out" "the stop control was sent (bWZCStopped -1)"
check "stop says what it waits for" contains "$out" "Waiting for WZCSVC to stop, up to 2 minutes"
check "status shows WZCSVC stopped" contains "$("$nebrin" "${m[@]}" wireless-service status)" "WZCSVC is stopped."
check "a second stop finds it not running" contains "$("$nebrin" "${m[@]}" wireless-service stop)" "WZCSVC was not running"
out=$("$nebrin" "${m[@]}" wireless-service start); rc=$?
check "start succeeds" test $rc -eq 0
check "start says what it waits for" contains "$out" "Waiting for WZCSVC to run, up to 2 minutes"
check "status shows WZCSVC running again" contains "$("$nebrin" "${m[@]}" wireless-service status)" "WZCSVC is running."

# A service that is starting or stopping takes no control: the host waits for it to settle and
# asks once more. One that never settles (no settle time) fails after the two minutes.
set_wzc() {
python3 - "$scratch/m.json" "$1" <<'PY'
import json, sys
path, state = sys.argv[1], sys.argv[2]
doc = json.load(open(path))
for s in doc["services"]:
    if s["name"] == "WZCSVC":
        s["state"] = state
        s.pop("settlesAtTick", None)
json.dump(doc, open(path, "w"))
PY
}
set_wzc startPending
out=$("$nebrin" "${m[@]}" wireless-service stop 2>&1); rc=$?
check "stop while starting fails" test $rc -eq 1
check "stop while starting is explained" contains "$out" "0x80070425: the service is starting or stopping"
check "stop while starting waits for it to settle" contains "$out" "waiting for it to settle, up to 2 minutes"
set_wzc stopPending
out=$("$nebrin" "${m[@]}" wireless-service start 2>&1); rc=$?
check "start while stopping fails" test $rc -eq 1
check "start while stopping is explained" contains "$out" "0x80070425: the service is starting or stopping"
check "start while stopping waits for it to settle" contains "$out" "waiting for it to settle, up to 2 minutes"
set_wzc running

out=$("$nebrin" "${m[@]}" adhoc); rc=$?
check "adhoc succeeds" test $rc -eq 0
check "adhoc says what it waits for" contains "$out" "Running Tamsel.exe /1"
check "adhoc says up to 5 minutes" contains "$out" "up to 5 minutes"
check "adhoc answers 22" contains "$out" "Result 22: the ad hoc tool ran."
show=$("$nebrin" "${m[@]}" machine show)
check "machine show has the tool's run" contains "$show" '  C:\Program Files\corvane\Nebrin\Tamsel.exe  ["C:\Program Files\corvane\Nebrin\Tamsel.exe" /1]'
check "machine show has the adapter in ad hoc mode" test "$(grep -c '^Wireless Network Connection  {A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}  ad hoc$' <<<"$show")" -eq 1

# A Tamsel.exe process runs: nothing is started.
python3 - "$scratch/m.json" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
doc["processes"]["table"].append({"id": 4100, "image": "Tamsel.exe", "openable": True})
json.dump(doc, open(path, "w"))
PY
out=$("$nebrin" "${m[@]}" adhoc); rc=$?
check "adhoc with the tool running fails" test $rc -eq 1
check "adhoc with the tool running answers 27" contains "$out" "Result 27: the ad hoc tool is already running"
check "adhoc with the tool running starts nothing" contains "$("$nebrin" "${m[@]}" machine show)" "Programs started: 1 "

# A Tamsel.exe that ends once the process list has been taken twice: the member, looking first,
# finds it running.
python3 - "$scratch/m.json" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
doc["processes"]["table"] = [p for p in doc["processes"]["table"] if p["image"] != "Tamsel.exe"]
doc["processes"]["table"].append({"id": 4104, "image": "Tamsel.exe", "openable": True, "scansLeft": 2})
json.dump(doc, open(path, "w"))
PY
out=$("$nebrin" "${m[@]}" adhoc); rc=$?
check "adhoc lets the member find the running tool" contains "$out" "Result 27: the ad hoc tool is already running"
check "adhoc started nothing then" contains "$("$nebrin" "${m[@]}" machine show)" "Programs started: 1 "

# The tool is removed from the machine.
python3 - "$scratch/m.json" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
doc["processes"]["table"] = [p for p in doc["processes"]["table"] if p["image"] != "Tamsel.exe"]
doc["processes"]["programs"] = [p for p in doc["processes"]["programs"] if not p["path"].endswith("Tamsel.exe")]
json.dump(doc, open(path, "w"))
PY
out=$("$nebrin" "${m[@]}" adhoc); rc=$?
check "adhoc without the tool fails" test $rc -eq 1
check "adhoc without the tool answers 23" contains "$out" "Result 23: the ad hoc tool failed to start"

check "driver starts" contains "$("$nebrin" "${m[@]}" driver start)" "ORLPD was started."
check "driver was already running" contains "$("$nebrin" "${m[@]}" driver start)" "ORLPD was already running."

check "product service not registered" contains "$("$nebrin" "${m[@]}" service status)" "is not registered"
check "product service installs" contains "$("$nebrin" "${m[@]}" service install 'C:\Program Files\Nebrin\NebrinSvc.exe')" "NebrinWLANService is registered"
check "a blank in the path is quoted" contains "$("$nebrin" "${m[@]}" machine show --json)" '"binaryPath": "\"C:\\Program Files\\Nebrin\\NebrinSvc.exe\""'
check "second install changes nothing" contains "$("$nebrin" "${m[@]}" service install 'C:\other.exe')" "registration is unchanged"
check "product service registered" contains "$("$nebrin" "${m[@]}" service status)" "NebrinWLANService is registered."
check "product service removed" contains "$("$nebrin" "${m[@]}" service remove)" "NebrinWLANService is removed."
err=$("$nebrin" "${m[@]}" service remove 2>&1 >/dev/null); rc=$?
check "removing it again fails" test $rc -eq 1
check "removing it again is explained" contains "$err" "NebrinWLANService was not removed"

out=$("$nebrin" "${m[@]}" connection-menu "Wireless Network Connection"); rc=$?
check "connection menu succeeds" test $rc -eq 0
check "connection disabled" contains "$("$nebrin" "${m[@]}" sharing)" "Wireless Network Connection  disabled"
err=$("$nebrin" "${m[@]}" connection-menu "No Such Connection" 2>&1 >/dev/null); rc=$?
check "unknown connection refused" test $rc -eq 1
check "unknown connection explained" contains "$err" "the command was not invoked"

# Without administrative rights the service commands say so.
python3 - "$scratch/m.json" <<'PY'
import json, sys
path = sys.argv[1]
doc = json.load(open(path))
doc["system"]["administrator"] = False
json.dump(doc, open(path, "w"))
PY
err=$("$nebrin" "${m[@]}" wireless-service stop 2>&1 >/dev/null); rc=$?
check "stop without rights fails" test $rc -eq 1
check "stop without rights is explained" contains "$err" "0x80070005: access denied"
check "status without rights says the list may not be readable" contains "$("$nebrin" "${m[@]}" service status)" "or the service list cannot be read (administrative rights are needed)"

finish "host wireless"
