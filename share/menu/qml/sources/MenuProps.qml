// Stand-in for the menu properties: an invisible holder.
import QtQuick

Item {
    visible: false
}
