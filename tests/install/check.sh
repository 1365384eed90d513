# Helpers shared by the install tests: count failures, report each, end with a summary.
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
expect_equal() {  # what, actual, expected
  [[ "$2" == "$3" ]] || fail "$1: got '$2', expected '$3'"
}
# The regular files under a folder, relative to it, sorted.
file_list() {
  (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort)
}
# The files the install rules put in place, and that the package holds.
expected_files() {
  LC_ALL=C sort "$(dirname "${BASH_SOURCE[0]}")/installed_files.txt"
}
finish() {
  if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
# velmora run without a display: only what needs none may work.
without_display() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"
}
