#!/bin/sh
# Runs one test program offscreen in a fresh temporary home, so settings,
# per-user folders and the Desktop never touch the real ones. The exam
# program's single-instance key is the run's own too. Qt Test's watchdog
# gets CTest's bound for a program: on a busy machine it may miss where one
# test function ends and the next begins, and count several as one.
set -u
home=$(mktemp -d "${TMPDIR:-/tmp}/velmar-test.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT INT TERM
mkdir -p "$home/.config" "$home/Desktop" "$home/runtime"
chmod 700 "$home/runtime"
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/runtime \
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LC_ALL=C.UTF-8 \
VELMAR_EXAM_GUARD_KEY=${VELMAR_EXAM_GUARD_KEY:-Velmar_imtihan_test_$(basename "$home")} \
QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-1200000} \
"$@"
