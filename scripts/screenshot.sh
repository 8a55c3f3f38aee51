#!/usr/bin/env bash
# Builds Ravolin if needed, starts the real program under a virtual X server (xvfb-run) in a fresh temporary
# working directory, and saves PNG screenshots there: the main window of a first start, the version dialog
# (Alt+A), the window after a run of the README's worked example, which it also copies to
# docs/main-window.png, the same window maximized, and the format dialog on an example of its own, copied to
# docs/format-dialog.png, and a spreadsheet's copy pasted as a table and run into SQL (the table dialog and the
# window after the run, copied to docs/table-dialog.png and docs/table-sql.png).
# Prints their paths. SCREENSHOT_LOCALE (default C.UTF-8) sets the program's locale.
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

# Starts the program in a new folder $work/<name> whose settings file holds the given lines (UTF-8 here,
# CP932 in the file), with the font every example uses; sets pid and main (the window's id).
start_example() {
    local name=$1
    shift
    mkdir "$work/$name"
    cd "$work/$name"
    printf '%s\r\n' '[Common]' 'Font=-13,0,0,0,400,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック' "$@" |
        iconv -f UTF-8 -t CP932 >RavolinSetting.ini
    "$program" 2>>"$work/stderr.txt" &
    pid=$!
    main=$(wait_for_window "Ravolin" 20)
}

if [[ ${1:-} == --inside ]]; then
    program=$2 work=$3
    cd "$work"
    "$program" 2>"$work/stderr.txt" &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true' EXIT
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
    start_example example 'Loop=3' '[Edit]' 'Origin=＜置換1＞番目: ＜配列1＞さん' '[Numerical]' 'Init1=1' \
        '[Arrangement]' 'Value1=田中,鈴木,佐藤'
    xdotool windowfocus --sync "$main" key alt+p
    sleep 0.3
    xdotool key Return
    sleep 1
    import -window "$main" "$work/example-window.png"
    # Larger: the editor and the output pane take the room.
    xdotool windowmove "$main" 0 0 windowsize "$main" 1260 960
    sleep 1
    import -window "$main" "$work/example-window-large.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true

    # The formats: a zero-padded number, hexadecimal, letters shown twice each, business days, a seeded die, a
    # list that cycles; the dialog opened from its menu item (ツール -> 書式と繰り返しの設定).
    start_example formats 'Loop=12' '[Edit]' 'Origin=No.＜置換1＞ 0x＜置換2＞ ＜置換3＞ ＜置換4＞ ＜置換5＞ ＜配列1＞' \
        '[Numerical]' 'Init1=1' 'Width1=3' 'Init2=250' 'Format2=1' 'Width2=4' 'Format3=6' 'Repeat3=2' \
        'Kind4=1' 'Start4=2027/04/28' 'Unit4=7' 'Pattern4=m/d(aaa)' 'Off4=12/29 12/30 12/31' \
        'Kind5=3' 'Min5=1' 'Max5=6' 'Seed5=42' \
        '[Arrangement]' 'Value1=赤,青,緑' 'End1=1'
    xdotool windowfocus --sync "$main" key alt+t
    sleep 0.3
    xdotool key f
    format=$(wait_for_window "書式と繰り返し" 20)
    sleep 0.5
    import -window "$format" "$work/format-dialog.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true

    # A spreadsheet's copy into SQL: three columns pasted with Ctrl+Shift+V, names and departments written as
    # SQL literals (a quote doubled, an empty cell NULL).
    sql='INSERT INTO 社員 (番号, 氏名, 所属) VALUES (＜配列1＞, ＜配列2＞, ＜配列3＞);'
    start_example table '[Edit]' "Origin=$sql" "OriginExact=$sql" '[Arrangement]' 'Escape2=2' 'Escape3=2'
    printf "1001\tO'Brien\t営業部\r\n1002\t山田 太郎\t\r\n1003\tD'Angelo\t開発部\r\n" |
        xclip -selection clipboard
    xdotool windowfocus --sync "$main" key ctrl+shift+v
    table=$(wait_for_window "表の取り込み" 20)
    sleep 0.5
    import -window "$table" "$work/table-dialog.png"
    xdotool windowfocus --sync "$table" key Return
    sleep 0.5
    xdotool windowfocus --sync "$main" key alt+p
    sleep 0.3
    xdotool key Return
    # Wide enough for the statements to show whole.
    xdotool windowmove "$main" 0 0 windowsize "$main" 1260 800
    sleep 1
    import -window "$main" "$work/table-window.png"
    echo "$work/main-window.png"
    echo "$work/version-dialog.png"
    echo "$work/example-window.png"
    echo "$work/example-window-large.png"
    echo "$work/format-dialog.png"
    echo "$work/table-dialog.png"
    echo "$work/table-window.png"
    exit 0
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=${RAVOLIN_BUILD_DIR:-$root/build}
[[ -f $build/build.ninja ]] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target ravolin >/dev/null
work=$(mktemp -d -t ravolin-screenshot.XXXXXX)
# -noreset: the server stays up when its last client goes, as after killing one program before starting the next.
# The window keeps its size in the per-user folder: the screenshots' own, so every run starts alike.
XDG_CONFIG_HOME=$work/config LC_ALL=${SCREENSHOT_LOCALE:-C.UTF-8} xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" --inside "$build/app/ravolin" "$work"
mkdir -p "$root/docs"
cp "$work/example-window.png" "$root/docs/main-window.png"
cp "$work/format-dialog.png" "$root/docs/format-dialog.png"
cp "$work/table-dialog.png" "$root/docs/table-dialog.png"
cp "$work/table-window.png" "$root/docs/table-sql.png"
