#!/usr/bin/env bash
# Fails when a source includes a layer above its own, when anything outside
# app/ knows the main window, or when a lower layer reaches for a Qt module
# it must not link (core: Qt Core only; port: no widgets).
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(core port ui units app)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }
fail=0
for layer in "${layers[@]}"; do
    own=$(rank "$layer")
    for file in "$layer"/*.h "$layer"/*.cpp; do
        [ -e "$file" ] || continue
        while IFS=: read -r line target; do
            dir=${target%%/*}
            r=$(rank "$dir")
            if [ "$r" -gt "$own" ]; then
                echo "$file:$line: includes $target, a layer above $layer"
                fail=1
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
    done
done
if grep -rn 'TFormMain\|app/formmain\.h' core port ui units; then
    echo "the main window is known outside app/"
    fail=1
fi
if grep -rnE '#[[:space:]]*include[[:space:]]*<(Qt(Gui|Widgets|SerialPort|Network|Svg)/|Q(Widget|Application|GuiApplication|Painter|Color|Font|Pixmap|Icon|Brush|Palette)\b)' core; then
    echo "core/ links Qt Core only"
    fail=1
fi
if grep -rnE '#[[:space:]]*include[[:space:]]*<(QtWidgets/|Q(Widget|Application)\b)' port; then
    echo "port/ has no widgets"
    fail=1
fi
exit $fail
