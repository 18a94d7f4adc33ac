// Stand-in for the configuration export manager: what the shell reads.
import QtQuick

QtObject {
    property bool active: false
}
