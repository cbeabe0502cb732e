#!/usr/bin/env bash
# nebrin.exe under Wine with names and file paths in other scripts: accented, CJK and outside the
# Basic Multilingual Plane. Each name must be stored, listed and exported exactly as typed, and a
# taken name must be found taken.
set -u
wine=$1
nebrin=$2
passed=0
failed=0
check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
contains() { grep -qF -- "$2" <<<"$1"; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
# Wine reads the arguments in the locale's character set.
export LC_ALL=C.UTF-8
run() { "$wine" "$nebrin" "$@"; }

# Profiles without adapters, so that no adapter of the Wine machine is needed: five of them from a
# file whose path is outside the ANSI code page, then each renamed to a name given as an argument.
profile() {
  printf '{"ProfileName": "%s", "nProfileKey": 0, "IconIndex": 0, "bDefaultPrinterFlag": 0,
    "strPrinterName": "", "nICSFlag": "normal", "strPublicDevGUID": "", "strPrivateDevGUID": "",
    "bICFFlag": 0, "bPrivateWlan": 0, "bWLANWebKeyUse": 0, "strWLANConnectionName": "",
    "AdapterCount": 0, "adapters": []}' "$1"
}
file="résumé 日本 😀.json"
{
  printf '{"format": "nebrin-profiles", "version": 1, "profiles": ['
  profile p0; printf ','; profile p1; printf ','; profile p2; printf ','; profile p3; printf ','
  profile p4; printf ']}\n'
} >"$file"
run delete --all >/dev/null 2>&1
out=$(run import "$file" 2>&1); rc=$?
check "import from a non-ASCII path succeeds" test $rc -eq 0
numbers=($(run list --json | jq -r '.[].nProfileKey'))
check "five profiles imported" test "${#numbers[@]}" -eq 5
names=("Café" "日本" "日本語" "Straße 😀" "Ω≈ç√")
for i in 0 1 2 3 4; do
  name=${names[$i]}
  out=$(run rename "${numbers[$i]}" "$name" 2>&1); rc=$?
  check "rename to \"$name\" succeeds" test $rc -eq 0
  check "and says the name as typed" contains "$out" "to \"$name\"."
done
out=$(run rename "${numbers[4]}" "Café" 2>&1); rc=$?
check "the same accented name again is taken" test $rc -ne 0
check "and the refusal names it as typed" contains "$out" "\"Café\""
listed=$(run list --json)
for name in "${names[@]}"; do
  check "\"$name\" is listed as stored" test "$(jq --arg n "$name" '[.[] | select(.ProfileName == $n)] | length' <<<"$listed")" -eq 1
done
check "the table shows the non-BMP name" contains "$(run list)" "Straße 😀"

out=$(run export --all -o "out 日本 😀.json" 2>&1); rc=$?
check "export to a non-ASCII path succeeds" test $rc -eq 0
check "the file holds the CJK name" test "$(jq -r '.profiles[2].ProfileName' "out 日本 😀.json" 2>/dev/null)" = "日本語"
out=$(run import "out 日本 😀.json" --rename 2>&1); rc=$?
check "importing it back renames each" contains "$out" "Imported \"Straße 😀 (2)\""
run delete --all >/dev/null 2>&1

echo "nebrin.exe text: $passed passed, $failed failed"
test $failed -eq 0
