#!/usr/bin/env bash
# A person's session with nebrin.exe under Wine, against the DLL beside it: capture, save, list,
# show, edit, export, import and delete profiles on Wine's adapters (described first by
# wine_adapter_keys.exe, as Windows describes its own), an echo test to loopback, the connections
# and the wireless configuration service.
#   nebrin_cli_test.sh WINE NEBRIN_EXE ADAPTER_KEYS_EXE      (WINEPREFIX etc. in the environment)
set -u
wine=$1
exe=$2
keys_exe=$3
nebrin=$exe  # named for check_lib.sh
source "$(dirname "$0")/../host/check_lib.sh"
cd "$scratch" || exit 1

# Wine ends lines with CR LF; the checks compare text without the CR.
run() { "$wine" "$exe" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# The keys go again even when the write fails halfway.
trap '"$wine" "$keys_exe" remove; rm -rf "$scratch"' EXIT
described=$("$wine" "$keys_exe" write); rc=$?
described=$(tr -d '\r' <<<"$described")
check "Wine's adapters described" test $rc -eq 0
echo "$described"
count=$(grep -c '^[0-9]' <<<"$described")

out=$(run adapters); rc=$?
check "adapters succeeds" test $rc -eq 0
check "adapters shows the first connection" contains "$out" "Wine connection 1"
check "adapters shows the name servers written for it" contains "$out" "10.9.8.3, 10.9.8.4"
check "adapters keeps every adapter Wine lists" test "$(grep -c 'Wine connection' <<<"$out")" -eq "$count"

# Tests before this one may have stored and deleted profiles: the store's next number goes on.
out=$(run save "Wine office" --icon 2); rc=$?
check "save succeeds" test $rc -eq 0
check "save names the new profile" grep -qE "^Saved \"Wine office\" as profile [0-9]+ with $count adapters?\.$" <<<"$out"
n=$(sed -nE 's/^Saved "Wine office" as profile ([0-9]+) .*/\1/p' <<<"$out")
n=${n:-none}
out=$(run save "Wine office"); rc=$?
check "a taken name is refused" test $rc -eq 1
check "the refusal is a sentence" contains "$out" 'a profile named "Wine office" already exists'

out=$(run list); rc=$?
check "list succeeds" test $rc -eq 0
check "list shows the profile with its number and icon" test "$(grep -cE "^$n +Wine office +2 " <<<"$out")" -eq 1

out=$(run show "$n"); rc=$?
check "show succeeds" test $rc -eq 0
check "show names the profile" contains "$out" "Profile $n: Wine office"
check "show has the connection" contains "$out" "Wine connection 1"
check "show lists every adapter" test "$(grep -c 'Wine connection' <<<"$out")" -eq "$count"

out=$(run edit "$n" --adapter 0 --ip 10.1.2.3 --mask 255.255.0.0 --gateway 10.1.0.1 --metric 5); rc=$?
check "edit succeeds" test $rc -eq 0
out=$(run show "$n")
check "show has the edited address" contains "$out" "10.1.2.3"
check "show has the edited gateway" contains "$out" "10.1.0.1"
out=$(run edit "$n" --adapter 0 --ip 10.1.2.256 --mask 255.255.0.0); rc=$?
check "a bad address is refused" test $rc -eq 1
check "the bad address is named" contains "$out" '"10.1.2.256"'

out=$(run export "$n" -o profiles.json); rc=$?
check "export succeeds" test $rc -eq 0
check "the file holds the profile" contains "$(cat profiles.json 2>/dev/null)" '"Wine office"'
check "the file holds the edited address" contains "$(cat profiles.json 2>/dev/null)" '"10.1.2.3"'

out=$(run delete "$n"); rc=$?
check "delete succeeds" test $rc -eq 0
out=$(run show "$n"); rc=$?
check "the deleted profile is gone" test $rc -eq 1
check "the deleted profile's number is unknown" contains "$out" "there is no profile number $n"

out=$(run import profiles.json); rc=$?
check "import succeeds" test $rc -eq 0
out=$(run list)
check "the imported profile is listed" contains "$out" "Wine office"
number=$(awk '/Wine office/ { print $1; exit }' <<<"$out")
out=$(run show "${number:-x}")
check "the imported profile keeps the edited address" contains "$out" "10.1.2.3"
out=$(run import profiles.json); rc=$?
check "importing a taken name again is refused" test $rc -eq 1
out=$(run import profiles.json --rename); rc=$?
check "import --rename stores a copy" test $rc -eq 0
check "the copy is listed" contains "$(run list)" "Wine office (2)"

out=$(run delete --all); rc=$?
check "delete --all succeeds" test $rc -eq 0
check "no profile is left" test "$(run list | grep -c 'Wine office')" -eq 0

out=$(run ping 127.0.0.1 --count 2); rc=$?
echo "$out"
check "ping of loopback succeeds" test $rc -eq 0
check "loopback answers" contains "$out" "127.0.0.1 answers"

out=$(run sharing); rc=$?
echo "$out"
# Wine has no home-networking objects: a refusal in a sentence, not an empty list.
check "sharing fails without the sharing manager" test $rc -eq 1
check "sharing says why" contains "$out" "sharing manager is not available"

out=$(run wireless-service status); rc=$?
echo "$out"
check "wireless-service status succeeds" test $rc -eq 0
check "Wine has no WZCSVC" contains "$out" "WZCSVC is neither running nor stopped"

finish "nebrin.exe under Wine"
