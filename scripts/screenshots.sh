#!/bin/sh
# Saves pictures of the program into docs/screenshots: a sample specimen with its approximation
# in the single view (landscape window), the cluster of the samples in the overlay view (wide
# window), the mean specimen, the tree with the real file names (when ../shared/data/real is
# there), the property sheets, the trace dialog on a real silhouette with its valve over the
# image (when ../shared/data/images is there) and the morphospace of generated valves. The windows run on a
# virtual X display, so this works on a
# machine without a screen.
#   scripts/screenshots.sh [build-folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/docs/screenshots

bash "$root/scripts/install-deps.sh" screenshots
cmake --build "$build" --target test_gui_views
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    env QT_QPA_PLATFORM=xcb "$build/tests/test_gui_views" screenshots "$out"
ls -l "$out"
