#!/usr/bin/env bash
# nebrin.exe import under Wine, killed hard (SIGKILL to the Windows process) at delays spread over
# an import's run. After each kill the next command must leave the store holding all of the file's
# profiles or none, no damaged profile, a profile the import does not own untouched, and must say
# when it undid an interrupted import. Fails when no kill landed mid-import, so it cannot pass
# without testing the undo.
set -u
wine=$1
nebrin=$(realpath "$2")
passed=0
failed=0
check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
contains() { grep -qF -- "$2" <<<"$1"; }
lacks() { ! grep -qF -- "$2" <<<"$1"; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
export LC_ALL=C.UTF-8
run() { "$wine" "$nebrin" "$@"; }
prefix=${WINEPREFIX:-$HOME/.wine}
journal_present() { compgen -G "$prefix/drive_c/users/*/AppData/Roaming/Nebrin/import-journal.json" >/dev/null; }
no_journal() { ! journal_present; }

# Profiles without adapters, so that no adapter of the Wine machine is needed.
profile() {
  printf '{"ProfileName": "%s", "nProfileKey": 0, "IconIndex": 3, "bDefaultPrinterFlag": 0,
    "strPrinterName": "", "nICSFlag": "normal", "strPublicDevGUID": "", "strPrivateDevGUID": "",
    "bICFFlag": 0, "bPrivateWlan": 0, "bWLANWebKeyUse": 0, "strWLANConnectionName": "",
    "AdapterCount": 0, "adapters": []}' "$1"
}
profile_file() {  # profile_file FILE NAME...
  local file=$1 sep=''; shift
  { printf '{"format": "nebrin-profiles", "version": 1, "profiles": ['
    for name in "$@"; do printf '%s' "$sep"; profile "$name"; sep=','; done
    printf ']}\n'; } >"$file"
}
count=40
names=()
for i in $(seq 1 $count); do names+=("kill test $i"); done
profile_file office.json "${names[@]}"
profile_file keeper.json "keeper"
# How many of the file's profiles the store holds; the keeper must always be there.
stored_of_file() { jq '[.[] | select(.ProfileName | startswith("kill test "))] | length' <<<"$1"; }
keeper_listed() { test "$(jq '[.[] | select(.ProfileName == "keeper")] | length' <<<"$1")" -eq 1; }
now_ms() { date +%s%3N; }
# The store's profile keys, whole or not, read with Wine's reg so that no nebrin command undoes
# anything first.
profile_keys() {
  "$wine" reg query 'HKCU\Software\Corvane\Nebrin' 2>/dev/null | tr -d '\r' |
    grep -c '^HKEY_CURRENT_USER\\Software\\Corvane\\Nebrin\\'
}
# Of those, the keys a kill left without a name (stopped in the middle of storing a profile).
half_written_keys() {
  "$wine" reg query 'HKCU\Software\Corvane\Nebrin' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY_CURRENT_USER\\Software\\Corvane\\Nebrin\\/ { if (open && !named) n++; open = 1; named = 0; next }
         /^ +ProfileName / { named = 1 }
         END { if (open && !named) n++; print n + 0 }'
}

reset_store() {
  run delete --all >/dev/null 2>&1
  run import keeper.json >/dev/null 2>&1
}

# Two imports without a kill, the longer of which the kills are spread over.
duration=0
for attempt in 1 2; do
  reset_store
  start=$(now_ms)
  out=$(run import office.json 2>&1); rc=$?
  took=$(( $(now_ms) - start ))
  (( took > duration )) && duration=$took
  check "an uninterrupted import succeeds" test $rc -eq 0
  check "and stores every profile" test "$(stored_of_file "$(run list --json 2>/dev/null)")" -eq $count
  check "and leaves no journal" no_journal
done

kills=12
undone=0     # kills after which the journal stood and profiles of the file were removed
early=0      # kills before the import stored anything (no journal, or a journal with nothing stored)
complete=0   # kills after the import was whole
halves=0     # kills that left a profile half written
for k in $(seq 1 $kills); do
  reset_store
  # From a fifth of the run (the process starting) to a little after its end, since a killed run
  # can be slower than the measured ones.
  delay_ms=$(( duration / 5 + duration * k / (kills + 1) ))
  # Started directly, not through a function, so that $! is the Windows process itself (Wine's
  # loader becomes it); SIGKILL ends it with no unwinding. The registry lives in the wineserver,
  # which keeps every write made before the kill.
  "$wine" "$nebrin" import office.json >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null; status=$?
  journal=no; journal_present && journal=yes
  left=$(( $(profile_keys) - 1 ))  # without the keeper
  half=$(half_written_keys)
  (( half > 0 )) && halves=$((halves + 1))
  if (( k == 1 )); then listing=(list --json); else listing=(list); fi
  out=$(run "${listing[@]}" 2>&1); rc=$?
  what="kill $k (${delay_ms} ms, exit $status, journal $journal, $left left, $half unnamed)"
  check "$what: the next command succeeds" test $rc -eq 0
  check "$what: no profile is damaged" lacks "$out" "damaged"
  check "$what: no undo is left for later" lacks "$out" "could not be removed"
  after=$(run list --json 2>&1)
  stored=$(stored_of_file "$after")
  check "$what: all or none of the file is stored ($stored)" test "$stored" -eq 0 -o "$stored" -eq $count
  check "$what: the other profile stays" keeper_listed "$after"
  check "$what: no key is left beside the listed profiles" test "$(profile_keys)" -eq $((stored + 1))
  check "$what: the journal is gone" no_journal
  if [[ $journal == yes ]]; then
    check "$what: the undo is announced" contains "$out" "was interrupted"
    check "$what: and nothing of it kept" test "$stored" -eq 0
    if (( left > 0 )); then
      undone=$((undone + 1))
      removed="the 1 profile it had stored was removed"
      (( left > 1 )) && removed="the $left profiles it had stored were removed"
      check "$what: the undo names the profiles removed" contains "$out" "$removed"
    else
      early=$((early + 1))
      check "$what: the undo says nothing was stored" contains "$out" "it had stored no profile yet"
    fi
  else
    check "$what: no undo is announced" lacks "$out" "interrupted"
    if (( stored == count )); then complete=$((complete + 1)); else early=$((early + 1)); fi
  fi
  echo "$what"
done

reset_store
out=$(run import office.json 2>&1); rc=$?
check "a final import succeeds" test $rc -eq 0
check "and stores every profile" test "$(stored_of_file "$(run list --json 2>/dev/null)")" -eq $count
run delete --all >/dev/null 2>&1

echo "import kills: $kills over ${duration} ms; $undone landed mid-import (undone), $early before any profile was stored, $complete after the import was whole; $halves left a profile half written"
check "at least one kill landed mid-import" test $undone -gt 0
echo "nebrin.exe import kills: $passed passed, $failed failed"
test $failed -eq 0
