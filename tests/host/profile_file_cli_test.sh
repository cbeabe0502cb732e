#!/usr/bin/env bash
# Profile files through the host: export, forget, import and show; refusals with status 1 that
# leave the machine file as it was; an adapter of another machine mapped with --map.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"

m=(--machine "$scratch/m.json")
"$nebrin" "${m[@]}" machine init --demo >/dev/null
"$nebrin" "${m[@]}" save Office --icon 2 --printer "Office Laser 4050" >/dev/null
"$nebrin" "${m[@]}" save Home >/dev/null
"$nebrin" "${m[@]}" edit 1 --adapter 1 --ip 10.0.0.9 --mask 255.255.0.0 --dns 10.0.0.1 >/dev/null
shown0=$("$nebrin" "${m[@]}" show 0 --json)
shown1=$("$nebrin" "${m[@]}" show 1 --json)

out=$("$nebrin" "${m[@]}" export --all -o "$scratch/all.json"); rc=$?
check "export succeeds" test $rc -eq 0
check "export says what it wrote" contains "$out" "Exported 2 profiles to $scratch/all.json (wireless key texts left out"
check "file names its format and version" contains "$(head -3 "$scratch/all.json")" '"version": 1'
check "key text left out by default" test "$(grep -c strWLANPassWord "$scratch/all.json")" -eq 0
check "with secrets the key text is there" contains "$("$nebrin" "${m[@]}" export 0 --with-secrets)" '"strWLANPassWord": ""'

"$nebrin" "${m[@]}" forget >/dev/null
out=$("$nebrin" "${m[@]}" import "$scratch/all.json"); rc=$?
check "import succeeds" test $rc -eq 0
check "import names the new numbers" contains "$out" 'Imported "Home" as profile 1 with 2 adapters.'
check "profile 0 loads back the same" test "$("$nebrin" "${m[@]}" show 0 --json)" = "$shown0"
check "profile 1 loads back the same" test "$("$nebrin" "${m[@]}" show 1 --json)" = "$shown1"

# A taken name: refused, nothing written; --rename numbers it. Standard input works too.
before=$(sha256sum "$scratch/m.json")
err=$("$nebrin" "${m[@]}" import "$scratch/all.json" 2>&1 >/dev/null); rc=$?
check "taken name refused with status 1" test $rc -eq 1
check "taken name explained" contains "$err" 'nebrin: the 1st profile ("Office"): a profile named "Office" already exists; --rename stores it as "Office (2)"'
check "refused import writes nothing" test "$(sha256sum "$scratch/m.json")" = "$before"
out=$("$nebrin" "${m[@]}" export 1 | "$nebrin" "${m[@]}" import - --rename); rc=$?
check "renamed import from standard input" test $rc -eq 0 -a "$out" = 'Imported "Home (2)" ("Home" in the file) as profile 2 with 2 adapters.'

# A damaged file: one sentence naming the profile and the field, status 1, nothing written.
python3 - "$scratch/all.json" "$scratch/bad.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
doc["profiles"][1]["adapters"][1]["IpAddressList"] = "10.0.0.300"
json.dump(doc, open(sys.argv[2], "w"))
PY
before=$(sha256sum "$scratch/m.json")
err=$("$nebrin" "${m[@]}" import "$scratch/bad.json" --rename 2>&1 >/dev/null); rc=$?
check "damaged file refused with status 1" test $rc -eq 1
check "damaged file explained" test "$err" = "nebrin: $scratch/bad.json: the 2nd profile (\"Home\"), adapter 1: \"IpAddressList\" \"10.0.0.300\" is not a dotted IPv4 address"
check "damaged file writes nothing" test "$(sha256sum "$scratch/m.json")" = "$before"
err=$("$nebrin" "${m[@]}" import "$scratch/missing.json" 2>&1 >/dev/null); rc=$?
check "missing file refused" test $rc -eq 1 -a "$err" = "nebrin: $scratch/missing.json cannot be read"

# An adapter this machine does not have: the refusal lists this machine's adapters and the hint.
python3 - "$scratch/all.json" "$scratch/away.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
doc["profiles"] = doc["profiles"][:1]
doc["profiles"][0]["ProfileName"] = "Away"
wireless = doc["profiles"][0]["adapters"][1]
wireless["AdapterName"] = "{0BADF00D-0000-4000-8000-000000000001}"
wireless["ConnectionName"] = "Funk"
json.dump(doc, open(sys.argv[2], "w"))
PY
err=$("$nebrin" "${m[@]}" import "$scratch/away.json" 2>&1 >/dev/null); rc=$?
check "unknown adapter refused" test $rc -eq 1
check "unknown adapter named" contains "$err" 'adapter 1: this machine has no adapter {0BADF00D-0000-4000-8000-000000000001} and none named "Funk".'
check "this machine's adapters listed" contains "$err" '  1  "Wireless Network Connection" {A3C5E7F9-1B2D-4F60-8A9C-0E1F2A3B4C5D}'
check "the hint" contains "$err" "--map {0BADF00D-0000-4000-8000-000000000001}=INDEX"
err=$("$nebrin" "${m[@]}" import "$scratch/away.json" --map '{0BADF00D-0000-4000-8000-000000000001}=9' 2>&1 >/dev/null); rc=$?
check "map past the adapters refused" test $rc -eq 1 -a "$err" = "nebrin: --map {0BADF00D-0000-4000-8000-000000000001}=9: this machine has adapters 0 to 1"
out=$("$nebrin" "${m[@]}" import "$scratch/away.json" --map '{0BADF00D-0000-4000-8000-000000000001}=1'); rc=$?
check "mapped import succeeds" test $rc -eq 0
check "mapping reported" contains "$out" '"Funk" {0BADF00D-0000-4000-8000-000000000001} is this machine'"'"'s "Wireless Network Connection"'
check "mapped adapter stored under this machine's connection" contains "$("$nebrin" "${m[@]}" show 3)" "Wireless Network Connection"

finish "host profile files"
