#!/usr/bin/env bash
# Sharing profiles through the host on a demo machine file: saving and editing the sharing choice,
# the refusals that write nothing, the connections' sharing roles and firewalls, the firewall
# switch.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"

m=(--machine "$scratch/m.json")
"$nebrin" "${m[@]}" machine init --demo >/dev/null
wired='{6E1B0F3A-2C4D-4E8F-9A10-3B5C7D9E1F20}'
wireless='{A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}'

out=$("$nebrin" "${m[@]}" save Host --sharing host --public 0 --private 1 --firewall); rc=$?
check "sharing host saved" test $rc -eq 0
check "save describes the sharing" contains "$out" "sharing host: public adapter 0 (Local Area Connection), private adapter 1 (Wireless Network Connection), firewall on"
json=$("$nebrin" "${m[@]}" show 0 --json)
check "host role stored" contains "$json" '"nICSFlag": 1'
check "public GUID taken from adapter 0" contains "$json" "\"strPublicDevGUID\": \"$wired\""
check "private GUID taken from adapter 1" contains "$json" "\"strPrivateDevGUID\": \"$wireless\""
check "firewall choice stored" contains "$json" '"bICFFlag": 1'

# Refusals: a sentence, status 1, and the machine file as it was.
before=$(sha256sum "$scratch/m.json")
refuse() {  # refuse NAME EXPECTED-TEXT ARGS...
  local name=$1 text=$2; shift 2
  local err rc
  err=$("$nebrin" "${m[@]}" "$@" 2>&1 >/dev/null); rc=$?
  check "$name refused" test $rc -eq 1
  check "$name explained" contains "$err" "$text"
  check "$name writes nothing" test "$(sha256sum "$scratch/m.json")" = "$before"
}
refuse "same adapter public and private" "cannot be both public and private" \
  save Twice --sharing host --public 1 --private 1
refuse "index not an adapter of the profile" "there is no adapter 7" \
  save Far --sharing host --public 0 --private 7
refuse "client without private" "a sharing client needs --private" save Lost --sharing client
refuse "host without both" "a sharing host needs both --public and --private" \
  save Half --sharing host --public 0
refuse "edit to a missing adapter" "there is no adapter 3" edit 0 --sharing client --private 3
refuse "edit without a change" "give --adapter I with its settings, or --sharing" edit 0
refuse "private wireless network on a wired adapter" \
  "the private adapter 0 (Local Area Connection) is not a wireless adapter" \
  save Wired --sharing host --public 1 --private 0 --private-wlan
refuse "edit to a private wireless network on a wired adapter" \
  "the private adapter 0 (Local Area Connection) is not a wireless adapter" \
  edit 0 --sharing client --private 0 --private-wlan

out=$("$nebrin" "${m[@]}" edit 0 --sharing client --private 1 --private-wlan); rc=$?
check "edit makes a client" test $rc -eq 0
check "edit describes the client" contains "$out" "sharing client: private adapter 1 (Wireless Network Connection), a private wireless network"
json=$("$nebrin" "${m[@]}" show 0 --json)
check "client role stored" contains "$json" '"nICSFlag": 2'
check "client has no public adapter" contains "$json" '"strPublicDevGUID": ""'
"$nebrin" "${m[@]}" edit 0 --sharing none >/dev/null
json=$("$nebrin" "${m[@]}" show 0 --json)
check "sharing none clears the role" contains "$json" '"nICSFlag": 0'
check "sharing none clears the private adapter" contains "$json" '"strPrivateDevGUID": ""'

# The connections, and the firewall switch of a host profile.
out=$("$nebrin" "${m[@]}" sharing); rc=$?
check "sharing lists the connections" test $rc -eq 0
check "wired connection listed with its firewall off" test "$(grep -c "^Local Area Connection .*connected  *none  *off  *$wired" <<<"$out")" -eq 1
check "sharing json says none alike" contains "$("$nebrin" "${m[@]}" sharing --json)" '"sharing": "none"'
"$nebrin" "${m[@]}" edit 0 --sharing host --public 0 --private 1 --firewall >/dev/null
out=$("$nebrin" "${m[@]}" firewall 0); rc=$?
check "firewall succeeds" test $rc -eq 0
check "firewall says what happened" contains "$out" 'Result 1: the firewall of "Local Area Connection" is on as profile 0 asks.'
check "sharing shows the firewall on" test "$(grep -c "^Local Area Connection .* on  *$wired" <<<"$("$nebrin" "${m[@]}" sharing)")" -eq 1
check "machine show carries the firewall" test "$(grep -c "^Local Area Connection .* on  *yes  *$wired" <<<"$("$nebrin" "${m[@]}" machine show)")" -eq 1
json=$("$nebrin" "${m[@]}" sharing --json)
check "sharing json" contains "$json" '"firewall": true'

"$nebrin" "${m[@]}" edit 0 --sharing none >/dev/null
err=$("$nebrin" "${m[@]}" firewall 0 2>&1 >/dev/null); rc=$?
check "firewall without a public adapter fails" test $rc -eq 1
check "firewall without a public adapter explained" contains "$err" "names no public adapter"

# A stored adapter without a GUID names no connection: it cannot be made a sharing adapter.
sed "/\"name\": \"AdapterName\"/,/\"data\"/ s/\"data\": \"$wireless\"/\"data\": \"\"/" \
  "$scratch/m.json" >"$scratch/blank.json" && mv "$scratch/blank.json" "$scratch/m.json"
check "stored wireless adapter without GUID" \
  contains "$("$nebrin" "${m[@]}" show 0 --json)" '"AdapterName": ""'
before=$(sha256sum "$scratch/m.json")
refuse "client on an adapter without GUID" "adapter 1 of the profile has no adapter GUID" \
  edit 0 --sharing client --private 1
refuse "host on an adapter without GUID" "adapter 1 of the profile has no adapter GUID" \
  edit 0 --sharing host --public 0 --private 1

finish "host sharing"
