#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs a test program as the user nobody, so that tests that must not need root show it where
# the tests run as root. Exit status 77 (skipped) where that cannot be: not root, or nobody
# cannot reach the program.
# Usage: as-a-user.sh PROGRAM [ARGUMENT...]
[ "$(id -u)" = 0 ] || { echo "not root: the tests ran as a user already"; exit 77; }
user() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
user test -x "$1" || { echo "nobody cannot run $1"; exit 77; }
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
chown nobody:nogroup "$dir" || exit 1
HOME=$dir TEST_TMPDIR=$dir user "$@"
