import QtQuick

// Restarts the menu when the language changes: the translations are loaded at start only.
Item {
    Connections {
        target: menuContext
        function onLanguageIndexChanged() {
            menuSettings.save()
            // The restart waits for a running transfer; the manager restarts at its end.
            if (exportManager.holdRestart())
                return
            screenManager.showFullscreenMessage()
            menuContext.beginRestartMenu()
        }
    }
}
