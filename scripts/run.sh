#!/usr/bin/env bash
# Installs what is missing, builds Korvenia and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVENIA_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "There is no display here, so the Korvenia window cannot open."
  echo "The command-line program is built and works without one:"
  echo "  build/bin/korvenia-cli --help"
  exit 1
fi
exec build/bin/korvenia "$@"
