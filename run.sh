#!/usr/bin/env bash
# Installs what is missing, builds, and starts ソラメモ with the given files.
# The files are passed on as given: relative paths stay relative to where you are.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/scripts/deps.sh"
soramemo_install_packages
(cd "$here" && soramemo_build)
exec "$here/build/bin/soramemo" "$@"
