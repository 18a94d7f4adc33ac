// Stand-in for the unit choices: an empty holder.
import QtQuick

QtObject {}
