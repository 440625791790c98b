#!/bin/sh
# The demo update package: proves that the updater ran it by leaving a marker beside itself.
here=$(cd "$(dirname "$0")" && pwd)
date '+%Y-%m-%d %H:%M:%S' > "$here/orvane-update-demo.done"
echo "Orvane demo update package ran; marker: $here/orvane-update-demo.done"
