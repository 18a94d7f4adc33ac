#!/bin/sh
# Refreshes the translation sources from the code: every text marked in share/menu/qml and menu/
# joins share/menu/i18n/menu_ru.ts, every text of the library (bus/, plugin/) dorrikbus_ru.ts; a
# new or changed text comes in unfinished (the file check among the tests then names it), a text
# gone from the code leaves the file. The build compiles both beside the program.
# lupdate comes from qt6-l10n-tools (scripts/deps.sh).
set -eu
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
[ -x "$LUPDATE" ] || LUPDATE=$(command -v lupdate)
# No source locations: they would change the file on every edit of a QML file and make the
# translation the place where unrelated branches collide.
"$LUPDATE" -silent -locations none -no-obsolete -source-language en -target-language ru \
    share/menu/qml menu -ts share/menu/i18n/menu_ru.ts
"$LUPDATE" -silent -locations none -no-obsolete -source-language en -target-language ru \
    bus plugin -ts share/menu/i18n/dorrikbus_ru.ts
