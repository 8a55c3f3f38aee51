#!/usr/bin/env bash
# Builds Ravolin if needed, starts the real program under a virtual X server (xvfb-run) in a fresh temporary
# working directory, and saves PNG screenshots there: the font message of a first start, the main window and
# the version dialog (Alt+A). Prints their paths.
set -euo pipefail

wait_for_window() {  # name, seconds -> window id
    local deadline=$((SECONDS + $2)) id
    while ((SECONDS < deadline)); do
        if id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) && [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "screenshot.sh: no window \"$1\" within $2 s" >&2
    return 1
}

if [[ ${1:-} == --inside ]]; then
    program=$2 work=$3
    cd "$work"
    "$program" 2>"$work/stderr.txt" &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true' EXIT
    message=$(wait_for_window "情報" 20)
    sleep 0.5  # let the first frame paint
    import -window "$message" "$work/first-start-message.png"
    xdotool windowfocus --sync "$message" key Return
    main=$(wait_for_window "Ravolin" 20)
    sleep 0.5
    import -window "$main" "$work/main-window.png"
    xdotool windowfocus --sync "$main" key alt+a
    about=$(wait_for_window "Ravolin のバージョン情報" 20)
    sleep 0.5
    import -window "$about" "$work/version-dialog.png"
    echo "$work/first-start-message.png"
    echo "$work/main-window.png"
    echo "$work/version-dialog.png"
    exit 0
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=${RAVOLIN_BUILD_DIR:-$root/build}
[[ -f $build/build.ninja ]] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target ravolin >/dev/null
work=$(mktemp -d -t ravolin-screenshot.XXXXXX)
LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside "$build/app/ravolin" "$work"
