# Shared by the host scripts: a scratch folder removed on exit, and the check helpers.
# The including script sets `nebrin` to the host's path first.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0

check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
contains() { grep -qF -- "$2" <<<"$1"; }

# Prints the closing count line and fails the script when a check failed.
finish() {
  echo "$1: $passed passed, $failed failed"
  test $failed -eq 0
}
