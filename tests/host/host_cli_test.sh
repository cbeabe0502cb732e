#!/usr/bin/env bash
# Runs the nebrin host against machine files in a scratch folder and checks what a person sees.
set -u
nebrin=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0

check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
contains() { grep -qF -- "$2" <<<"$1"; }

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

echo "host: $passed passed, $failed failed"
test $failed -eq 0
