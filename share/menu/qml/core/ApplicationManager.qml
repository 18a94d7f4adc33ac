import QtQuick

// Restarts the menu when the language changes: the translations are loaded at start only.
Item {
    Connections {
        target: menuContext
        function onLanguageIndexChanged() {
            screenManager.showFullscreenMessage()
            menuSettings.save()
            menuContext.beginRestartMenu()
        }
    }
}
