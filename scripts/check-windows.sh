#!/usr/bin/env bash
# Compiles, as syntax only, every source file that holds a Windows-only branch, with MinGW against the Qt
# headers this machine has: the branches build nowhere else here, so a change that breaks them shows now
# rather than on the first Windows build. Qt's headers pick their Windows side from the compiler.
set -euo pipefail
cd "$(dirname "$0")/.."

qt=$(/usr/lib/qt5/bin/qmake -query QT_INSTALL_HEADERS)
# The Linux Qt build declares its exports for Linux; MinGW warns of every one it would import.
flags=(-std=c++17 -fsyntax-only -Wall -Wextra -Werror -Wno-attributes
    -DQT_NO_FOREACH -DQT_DEPRECATED_WARNINGS -DQCUSTOMPLOT_USE_LIBRARY
    -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" -I"$qt/QtSerialPort" -Isrc)
mapfile -t files < <(git grep -l -e 'Q_OS_WIN' -- 'src/*.cpp')
[ ${#files[@]} -gt 0 ] || { echo "No Windows-only code found" >&2; exit 1; }
for f in "${files[@]}"; do
    x86_64-w64-mingw32-g++ "${flags[@]}" "$f"
done
echo "Windows-only code compiles: ${files[*]}"
