#!/usr/bin/env bash
# Builds Ravolin if needed, starts the real program under a virtual X server (xvfb-run) in a fresh temporary
# working directory, and saves PNG screenshots there: the font message of a first start, the main window, the
# version dialog (Alt+A), and the window after a run of the README's worked example, which it also copies to
# docs/main-window.png. Prints their paths. SCREENSHOT_LOCALE (default C.UTF-8) sets the program's locale.
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
    kill "$pid"
    wait "$pid" 2>/dev/null || true

    # The worked example: a counter and an array, three passes, run from the menu (処理 -> 変換実行).
    mkdir "$work/example"
    cd "$work/example"
    printf '%s\r\n' '[Common]' 'Loop=3' 'Font=-13,0,0,0,400,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック' \
        '[Edit]' 'Origin=＜置換1＞番目: ＜配列1＞さん' '[Numerical]' 'Init1=1' \
        '[Arrangement]' 'Value1=田中,鈴木,佐藤' | iconv -f UTF-8 -t CP932 >RavolinSetting.ini
    "$program" 2>>"$work/stderr.txt" &
    pid=$!
    main=$(wait_for_window "Ravolin" 20)
    xdotool windowfocus --sync "$main" key alt+p
    sleep 0.3
    xdotool key Return
    sleep 1
    import -window "$main" "$work/example-window.png"
    echo "$work/first-start-message.png"
    echo "$work/main-window.png"
    echo "$work/version-dialog.png"
    echo "$work/example-window.png"
    exit 0
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=${RAVOLIN_BUILD_DIR:-$root/build}
[[ -f $build/build.ninja ]] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target ravolin >/dev/null
work=$(mktemp -d -t ravolin-screenshot.XXXXXX)
LC_ALL=${SCREENSHOT_LOCALE:-C.UTF-8} xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside "$build/app/ravolin" "$work"
mkdir -p "$root/docs"
cp "$work/example-window.png" "$root/docs/main-window.png"
