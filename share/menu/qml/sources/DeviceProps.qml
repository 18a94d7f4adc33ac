// Stand-in for the device properties: an invisible holder.
import QtQuick

Item {
    visible: false
}
