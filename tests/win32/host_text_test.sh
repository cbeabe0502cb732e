#!/usr/bin/env bash
# nebrin.exe under Wine with names and file paths in other scripts: accented, CJK and outside the
# Basic Multilingual Plane. Each name must be stored, listed and exported exactly as typed.
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

run delete --all >/dev/null 2>&1
names=("Café" "日本" "日本語" "Straße 😀" "Ω≈ç√")
for name in "${names[@]}"; do
  out=$(run save "$name" 2>&1); rc=$?
  check "save \"$name\" succeeds" test $rc -eq 0
  check "save \"$name\" says the name as typed" contains "$out" "Saved \"$name\" as profile"
done
out=$(run save "Café" 2>&1); rc=$?
check "the same accented name again is taken" test $rc -ne 0
check "and the refusal names it as typed" contains "$out" "\"Café\" already exists"
listed=$(run list --json | sed 's/\r$//')
for name in "${names[@]}"; do
  check "\"$name\" is listed as stored" contains "$listed" "\"ProfileName\": \"$name\""
done
table=$(run list)
check "the table shows the non-BMP name" contains "$table" "Straße 😀"

# File paths with characters outside the ANSI code page.
out=$(run export --all -o "résumé 日本 😀.json" 2>&1); rc=$?
check "export to a non-ASCII path succeeds" test $rc -eq 0
check "the file is there under its name" test -f "$scratch/résumé 日本 😀.json"
check "it holds the CJK name" contains "$(cat "$scratch/résumé 日本 😀.json" 2>/dev/null)" '"日本語"'
run delete --all >/dev/null 2>&1
out=$(run import "résumé 日本 😀.json" 2>&1); rc=$?
check "import from a non-ASCII path succeeds" test $rc -eq 0
check "the import stores the non-BMP name" contains "$(run list --json)" "Straße 😀"
run delete --all >/dev/null 2>&1

echo "nebrin.exe text: $passed passed, $failed failed"
test $failed -eq 0
