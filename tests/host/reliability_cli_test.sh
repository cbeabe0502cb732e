#!/usr/bin/env bash
# Commands side by side, files the host does not own, damaged stores and hostile input: nothing
# is lost, nothing is shown raw, and every refusal is a short sentence.
set -u
nebrin=$1
source "$(dirname "$0")/check_lib.sh"
chmod 0755 "$scratch"  # an unprivileged user below reaches its own folder
m=$scratch/m.json
"$nebrin" --machine "$m" machine init --demo >/dev/null

count_profiles() { "$nebrin" --machine "$1" list --json 2>/dev/null | jq length; }
# A value of a stored profile, edited in place in the machine file (a store damaged by hand).
edit_store() {  # edit_store FILE PYTHON-EXPRESSION-ON-`store`
  python3 - "$1" "$2" <<'PY'
import json, sys
path, code = sys.argv[1], sys.argv[2]
doc = json.load(open(path))
store = doc["registry"]["HKEY_CURRENT_USER"]["keys"]["Software"]["keys"]["Corvane"]["keys"]["Nebrin"]
exec(code)
json.dump(doc, open(path, "w"))
PY
}

# --- Twenty saves at once keep twenty profiles; a list beside the saves undoes none. ---
for i in $(seq 1 20); do "$nebrin" --machine "$m" save "P$i" >/dev/null 2>&1 & done
wait
check "20 saves at once keep 20 profiles" test "$(count_profiles "$m")" -eq 20
names=$("$nebrin" --machine "$m" list --json | jq -r '.[].ProfileName' | sort | tr '\n' ' ')
check "every saved name is listed" test "$names" = "$(printf 'P%s\n' $(seq 1 20) | sort | tr '\n' ' ')"
for i in $(seq 1 5); do
  "$nebrin" --machine "$m" save "Q$i" >/dev/null 2>&1 &
  "$nebrin" --machine "$m" list >/dev/null 2>&1 &
  "$nebrin" --machine "$m" show 0 >/dev/null 2>&1 &
done
wait
check "saves beside lists and shows are all kept" test "$(count_profiles "$m")" -eq 25

# --- A command that waits for the lock says so after a second and names what it waits for. ---
flock "$m.lock" sleep 2 &
holder=$!
sleep 0.3
err=$("$nebrin" --machine "$m" list 2>&1 >/dev/null)
wait $holder
check "a waiting command says it waits" contains "$err" "Waiting for another nebrin command"
check "and names the lock file" contains "$err" "$m.lock"

# --- Mode, owner, symlinks, stale temporaries. ---
n=$scratch/fresh/new.json
"$nebrin" --machine "$n" list >/dev/null
check "a new machine file is created 0600" test "$(stat -c %a "$n")" = 600
chmod 0640 "$n"
"$nebrin" --machine "$n" save Kept >/dev/null
check "a save keeps the file's mode" test "$(stat -c %a "$n")" = 640
ln -s fresh/new.json "$scratch/link.json"
"$nebrin" --machine "$scratch/link.json" save ViaLink >/dev/null
check "the symlink stays a link" test -L "$scratch/link.json"
check "its target took the save" test "$(count_profiles "$n")" -eq 2
sleep 0.1 & gone=$!; wait $gone
touch "$n.tmp-$gone-0" "$n.tmp-$$-3" "$n.tmp-other" "$scratch/fresh/unrelated.tmp-$gone-0"
"$nebrin" --machine "$n" list >/dev/null
check "a dead command's temporary is removed" test ! -e "$n.tmp-$gone-0"
check "a live process's fresh temporary stays" test -e "$n.tmp-$$-3"
check "names a save does not give stay" test -e "$n.tmp-other" -a -e "$scratch/fresh/unrelated.tmp-$gone-0"

# Read-only files and folders (checked as an unprivileged user: root writes anyway).
as_user=()
if [ "$(id -u)" -eq 0 ]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
ro=$scratch/ro
mkdir -p "$ro" && cp "$n" "$ro/m.json" && chmod 0644 "$ro/m.json" && chown -R 65534:65534 "$ro" 2>/dev/null
chmod 0444 "$ro/m.json"
before=$(sha256sum <"$ro/m.json")
err=$("${as_user[@]}" "$nebrin" --machine "$ro/m.json" save Nope 2>&1 >/dev/null); rc=$?
check "a save to a read-only file fails" test $rc -ne 0
check "and says it cannot be written" contains "$err" "cannot be written"
check "the read-only file is left as it was" test "$(sha256sum <"$ro/m.json")" = "$before"
chmod 0644 "$ro/m.json"; chmod 0555 "$ro"
out=$("${as_user[@]}" "$nebrin" --machine "$ro/m.json" list 2>"$scratch/err"); rc=$?
check "list in a read-only folder still works" test $rc -eq 0
check "and lists the profiles" contains "$out" "ViaLink"
check "it says once that the refreshed lease was not saved" \
  test "$(grep -c 'were not saved' "$scratch/err")" -eq 1
chmod 0755 "$ro"

# --- The lock file: one nobody here may open refuses the command; a symlink is never followed. ---
lk=$scratch/lk
mkdir -p "$lk" && cp "$n" "$lk/m.json" && chown -R 65534:65534 "$lk" 2>/dev/null
touch "$lk/m.json.lock" && chmod 0600 "$lk/m.json.lock"
if [ "$(id -u)" -eq 0 ]; then chown 0:0 "$lk/m.json.lock"; else chmod 0000 "$lk/m.json.lock"; fi
before=$(sha256sum <"$lk/m.json")
err=$("${as_user[@]}" "$nebrin" --machine "$lk/m.json" save Unguarded 2>&1 >/dev/null); rc=$?
check "a lock file that cannot be opened refuses the command" test $rc -ne 0
check "the refusal names the lock file" contains "$err" "cannot open the lock file $lk/m.json.lock"
check "the machine file is left as it was" test "$(sha256sum <"$lk/m.json")" = "$before"
rm -f "$lk/m.json.lock"
ln -s "$lk/planted" "$lk/m.json.lock"
err=$("$nebrin" --machine "$lk/m.json" list 2>&1 >/dev/null); rc=$?
check "a symlink in the lock file's place is refused" test $rc -ne 0
check "as a symbolic link" contains "$err" "is a symbolic link"
check "its target is never created" test ! -e "$lk/planted"
rm -f "$lk/m.json.lock"
chmod 0640 "$lk/m.json"
"$nebrin" --machine "$lk/m.json" list >/dev/null
check "a new lock file gets the machine file's owner and mode" \
  test "$(stat -c '%u:%g %a' "$lk/m.json.lock")" = "$(stat -c '%u:%g' "$lk/m.json") 640"

# --- Names: control characters refused when typed, spelt out when read from the store. ---
err=$("$nebrin" --machine "$n" save $'bad\e[31mname' 2>&1 >/dev/null); rc=$?
check "a typed name with ESC is refused" test $rc -ne 0
check "the refusal spells the ESC out" contains "$err" 'bad\u001B[31mname'
check "the refusal holds no raw ESC" test "$(printf '%s' "$err" | tr -dc '\033' | wc -c)" -eq 0
err=$("$nebrin" --machine "$n" rename 0 $'two\nlines' 2>&1 >/dev/null); rc=$?
check "a rename with a newline is refused" test $rc -ne 0
edit_store "$n" 'store["keys"]["0"]["values"][[v["name"] for v in store["keys"]["0"]["values"]].index("ProfileName")]["data"] = "evil\u001b]0;title\u0007\u009b"'
out=$("$nebrin" --machine "$n" list)
check "a stored name with controls is listed spelt out" contains "$out" 'evil\u001B]0;title\u0007\u009B'
check "no raw control reaches the terminal" test "$(printf '%s' "$out" | tr -dc '\033\007' | wc -c)" -eq 0
edit_store "$n" 'store["keys"]["0"]["values"][[v["name"] for v in store["keys"]["0"]["values"]].index("ProfileName")]["data"] = "two\nlines\tand tab"'
out=$("$nebrin" --machine "$n" show 0)
check "show spells a stored newline and tab out" contains "$out" 'Profile 0: two\nlines\tand tab'
check "the name stays on one line" test "$(grep -c '^lines' <<<"$out")" -eq 0
json=$("$nebrin" --machine "$n" list --json)
check "the JSON list stays JSON" test "$(jq -r '.[0].ProfileName' <<<"$json")" = $'two\nlines\tand tab'

# --- Every icon the store can hold is read back; one it cannot hold is refused. ---
err=$("$nebrin" --machine "$n" save Big --icon=3000000000 2>&1 >/dev/null); rc=$?
check "an icon beyond a 32-bit number is refused" test $rc -ne 0
"$nebrin" --machine "$n" save Ten --icon=1000000000 >/dev/null
"$nebrin" --machine "$n" save Widest --icon=-2147483648 >/dev/null
out=$("$nebrin" --machine "$n" list)
check "an icon of ten digits lists" contains "$out" "1000000000"
check "the lowest icon lists" contains "$out" "-2147483648"

# --- A damaged profile is named with the command that removes it. ---
d=$scratch/damaged.json
"$nebrin" --machine "$d" machine init --demo >/dev/null
for name in A B C; do "$nebrin" --machine "$d" save "$name" >/dev/null; done
edit_store "$d" 'store["keys"]["1"]["values"] = [v for v in store["keys"]["1"]["values"] if v["name"] != "ProfileName"]'
out=$("$nebrin" --machine "$d" list 2>&1); rc=$?
check "list works beside a damaged profile" test $rc -eq 0
check "the others are listed" contains "$out" "C"
check "the damaged one is named with its delete" contains "$out" '`nebrin delete 1` removes it'
"$nebrin" --machine "$d" export --all -o "$scratch/out.json" 2>"$scratch/err" >/dev/null; rc=$?
check "export --all works beside it" test $rc -eq 0
check "export names the damaged profile" contains "$(cat "$scratch/err")" '`nebrin delete 1`'
check "export holds the two others" test "$(jq '.profiles | length' "$scratch/out.json")" -eq 2
"$nebrin" --machine "$d" delete 1 >/dev/null
check "delete removes the damaged profile" test "$(grep -c damaged <<<"$("$nebrin" --machine "$d" list 2>&1)")" -eq 0

# --- current: never applied, or applied and gone. ---
err=$("$nebrin" --machine "$d" current 2>&1 >/dev/null)
check "current before any apply" contains "$err" "no profile was applied yet"
out=$("$nebrin" --machine "$d" apply 0 2>/dev/null)
check "apply before any apply says none was applied yet" contains "$out" "No profile is in force (none was applied yet)."
"$nebrin" --machine "$d" delete 0 >/dev/null
out=$("$nebrin" --machine "$d" current 2>/dev/null)
check "current after its profile was deleted shows the copy applied" contains "$out" "Profile 0 was deleted from the store since it was applied"
other=$("$nebrin" --machine "$d" list --json | jq '.[0].nProfileKey')
out=$("$nebrin" --machine "$d" apply "$other" 2>/dev/null)
check "apply after the applied profile was deleted says so" contains "$out" "it was deleted from the store since"
# Without the host's copy (another program applied it), the store's record is all there is.
rm -f "${d%.json}.applied-profile.json"
"$nebrin" --machine "$d" delete "$other" >/dev/null
err=$("$nebrin" --machine "$d" current 2>&1 >/dev/null)
check "current without a copy, its profile deleted" contains "$err" "profile $other was applied last, but it is gone"

# --- Hostile files: too deep, too large, refused with a short sentence. ---
python3 -c 'print("{\"format\": " + "[" * 100000 + "]" * 100000 + "}")' >"$scratch/deep.json"
err=$("$nebrin" --machine "$d" import "$scratch/deep.json" 2>&1 >/dev/null); rc=$?
check "a deeply nested profile file is refused" test $rc -eq 1
check "as too deep" contains "$err" "nested more than 16 levels"
python3 -c 'print("{\"format\": \"nebrin-machine\", \"version\": 1, \"x\": " + "[" * 100000 + "]" * 100000 + "}")' >"$scratch/deepm.json"
err=$("$nebrin" --machine "$scratch/deepm.json" list 2>&1 >/dev/null); rc=$?
check "a deeply nested machine file is refused" test $rc -eq 1
check "as too deep for a machine file" contains "$err" "too deep for a machine file"
python3 -c 'import json; print(json.dumps({"format": "nebrin-profiles", "version": 1, "profiles": [{"ProfileName": "x" * (20 << 20)}]}))' >"$scratch/huge.json"
err=$("$nebrin" --machine "$d" import "$scratch/huge.json" 2>&1 >/dev/null); rc=$?
check "a 20 MiB profile file is refused" test $rc -eq 1
check "as too large" contains "$err" "too large for a profile file"
python3 -c 'import json; print(json.dumps({"format": "x" * 1000000, "version": 1, "profiles": []}))' >"$scratch/longformat.json"
err=$("$nebrin" --machine "$d" import "$scratch/longformat.json" 2>&1 >/dev/null)
check "a refusal quotes a short excerpt" test "${#err}" -lt 400

# --- An interrupted import is undone by the next command, which says so. ---
j=$scratch/j.json
"$nebrin" --machine "$j" machine init --demo >/dev/null
"$nebrin" --machine "$j" save Before >/dev/null
"$nebrin" --machine "$j" save Half1 >/dev/null
"$nebrin" --machine "$j" save Half2 >/dev/null
"$nebrin" --machine "$j" save Other >/dev/null
"$nebrin" --machine "$j" save Other2 >/dev/null
# Killed while storing profile 2, whose name was not written yet. Profile 3 is another command's
# save, its name not written yet either, and 4 another command's took the number the import meant
# to take next (a journal names only numbers the import stored or was about to store).
edit_store "$j" 'store["keys"]["2"]["values"] = [v for v in store["keys"]["2"]["values"] if v["name"] != "ProfileName"]'
edit_store "$j" 'store["keys"]["3"]["values"] = [v for v in store["keys"]["3"]["values"] if v["name"] != "ProfileName"]'
printf '{"import": "office.json", "names": ["Half1", "Half2", "Half3"], "before": [0], "stored": [1, 4], "storing": 2}\n' >"$j.import-journal"
# A machine file that cannot be written: the read-only commands still answer from the undone
# store, say the undo could not be saved, and leave the journal for the next command.
chmod 0444 "$j"
out=$("$nebrin" --machine "$j" list 2>"$scratch/err"); rc=$?
check "list answers beside a journal on a read-only machine file" test $rc -eq 0
check "from the undone store" test "$(grep -c Half1 <<<"$out")" -eq 0
check "and says the undo could not be saved" contains "$(cat "$scratch/err")" "that undo could not be saved"
check "the journal stays for later" test -e "$j.import-journal"
chmod 0644 "$j"
out=$("$nebrin" --machine "$j" list 2>"$scratch/err")
check "the next command undoes the interrupted import" test "$(count_profiles "$j")" -eq 2
check "and keeps what was there before" contains "$out" "Before"
check "another command's half-written profile stays" contains "$out" '`nebrin delete 3`'
check "another command's profile under a recorded number stays" contains "$out" "Other2"
check "it says so" contains "$(cat "$scratch/err")" "an import of office.json was interrupted; the 2 profiles it had stored were removed"
check "the journal is gone" test ! -e "$j.import-journal"
err=$("$nebrin" --machine "$j" list 2>&1 >/dev/null)
check "and says it only once" test -z "$err"

# --- machine init --force starts afresh: the old file's journal goes with it. ---
"$nebrin" --machine "$j" save Fresh1 >/dev/null
printf '{"import": "old.json", "names": ["Fresh1"], "before": [], "stored": [0], "storing": 1}\n' >"$j.import-journal"
"$nebrin" --machine "$j" machine init --demo --force >/dev/null
check "init --force removes the old file's journal" test ! -e "$j.import-journal"
"$nebrin" --machine "$j" save Fresh1 >/dev/null
err=$("$nebrin" --machine "$j" list 2>&1 >/dev/null)
check "and the new machine's profiles stay" test "$(count_profiles "$j")" -eq 1 -a -z "$err"

finish "host reliability"
