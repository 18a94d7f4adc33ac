// Stand-in for the menu's persisted settings: the settings element without its keys.
import QtQuick
import Menu 1.0

VSettings {}
