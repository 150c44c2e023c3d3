#!/bin/sh
# tools/screenshots.sh: takes the pictures of the settings dialog in every
# language from a Windows build, under Wine, and writes them as small PNG
# files. Run on an X display of its own (cmake/with-display); `make
# screenshots` does all of it.
#
#   screenshots.sh BUILD_DIR OUTPUT_DIR
#
# BUILD_DIR holds ferlo.dll and settings_picture.exe; the pictures are
# OUTPUT_DIR/settings-<language>.png.
set -eu
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
tools=$(cd "$(dirname "$0")" && pwd)

# A prefix of the pictures' own, so that the fonts they need change no other.
export WINEPREFIX="${FERLO_WINEPREFIX:-$build/wineprefix-screenshots}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine reg import "$tools/screenshots.reg" 2>/dev/null
# Debian's Wine keeps its own fonts (MS Sans Serif, Tahoma for the title
# bar, Marlett for the close box) apart, where it does not look for them.
cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

work="$build/screenshots"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# The title bar's font has no East Asian letters: they come from the font
# that the system links to it, the language's own.
link_caption_font() {
    wine reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" \
        /v "Tahoma Bold" /t REG_MULTI_SZ /d "$1" /f </dev/null >/dev/null 2>&1
}

# language, template language id, the font file and name for its title
while read -r name lang caption_font; do
    [ -n "$caption_font" ] && link_caption_font "$caption_font"
    rm -f rect
    wine "$build/settings_picture.exe" ../ferlo.dll "$lang" rect &
    program=$!
    while [ ! -s rect ]; do
        if ! kill -0 "$program" 2>/dev/null; then
            echo "screenshots.sh: the dialog of $name was not shown" >&2
            exit 1
        fi
        sleep 0.2
    done
    read -r x y width height <rect
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$name.png"
    rm rect
    wait "$program"
    # The dialog's few colours fit an 8-bit palette.
    convert "$name.png" -strip PNG8:"$out/settings-$name.png"
    optipng -quiet -o5 -strip all "$out/settings-$name.png"
    echo "settings-$name.png"
done <<EOF
en-US 0409
de-DE 0407
fr-FR 040c
ja-JP 0411 ipagp.ttf,IPAPGothic
zh-CN 0804 wqy-zenhei.ttc,WenQuanYi Zen Hei
ko-KR 0412 NanumGothic.ttf,NanumGothic
zh-TW 0404
it-IT 0410
pt-BR 0416
ru-RU 0419
es-ES 0c0a
EOF
