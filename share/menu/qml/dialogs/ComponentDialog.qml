import QtQuick

// An empty frame dialog: screenManager.showComponentInDialog creates its content in it.
BaseFrameDialog {
}
