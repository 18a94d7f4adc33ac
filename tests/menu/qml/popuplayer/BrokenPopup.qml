import QtQuick
import "../../../../share/menu/qml/popups"

// Does not load: an unknown property.
BasePopup {
    noSuchProperty: 1
}
