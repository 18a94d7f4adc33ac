import QtQuick

// A popup layer that records what it is asked and keeps plain stand-in popups: enough to see
// which popups a navigation step closes, minimizes or leaves alone.
Item {
    id: layer

    // The screen manager whose signals it executes; it registers itself there.
    property var manager: null

    property var popups: [] // bottom first
    property var calls: []
    property var activePopup: null
    property bool hasActivePopup: activePopup !== null
    property var minimizedPopups: []
    property bool hideTopPanel: false
    property bool hideBottomPanel: false
    property bool overrideTopPanel: false
    property bool overrideBottomPanel: false

    Component {
        id: popupComponent
        QtObject {
            property string tag
            property var properties: ({})
            property bool allowMinimize: false
            property bool minimized: false
            property bool pagesVisible: true
            signal closing(var popup)
            signal minimizing(var popup)
            signal callback(var result)
            signal setFunction(var result)
            signal choosed(var result)
            signal calibrationCompleted
            function close() {
                closing(this)
            }
        }
    }

    function record(call) {
        calls.push(call)
        calls = calls
    }

    function reset() {
        while (popups.length > 0)
            destroyPopup(popups[popups.length - 1])
        calls = []
    }

    // Opens a popup as a screen would, without a record of it.
    function add(tag, allowMinimize) {
        var popup = popupComponent.createObject(layer, {
                                                    "tag": tag,
                                                    "allowMinimize": !!allowMinimize
                                                })
        popup.closing.connect(destroyPopup)
        popups.push(popup)
        reinit()
        return popup
    }

    function showPopup(source, properties, asChildPopup) {
        record("showPopup " + source + (asChildPopup ? " as child" : ""))
        var popup = add(source, false)
        popup.properties = properties ? properties : {}
        return popup
    }

    function expandPopup(popup) {
        record("expandPopup " + popup.tag)
        popup.minimized = false
        reinit()
    }

    function tags() {
        return popups.map(p => p.tag + (p.minimized ? " (minimized)" : ""))
    }

    function destroyPopup(popup) {
        var index = popups.indexOf(popup)
        if (index < 0)
            return
        popups.splice(index, 1)
        popup.destroy()
        reinit()
    }

    function minimize(popup) {
        popup.minimized = true
        reinit()
    }

    function reinit() {
        var shown = popups.filter(p => !p.minimized)
        activePopup = shown.length > 0 ? shown[shown.length - 1] : null
        minimizedPopups = popups.filter(p => p.minimized)
        popups = popups
        if (manager)
            manager.popupsChanged()
    }

    Connections {
        target: layer.manager
        function onClosePopup(popup) {
            layer.record("closePopup")
            layer.destroyPopup(popup)
        }
        function onCloseTopPopup() {
            layer.record("closeTopPopup")
            if (layer.activePopup)
                layer.activePopup.close()
        }
        function onCloseAllPopups() {
            layer.record("closeAllPopups")
            for (var i = layer.popups.length - 1; i >= 0; --i)
                layer.popups[i].close()
        }
        function onMinimizeTopPopup() {
            layer.record("minimizeTopPopup")
            if (layer.activePopup && layer.activePopup.allowMinimize)
                layer.minimize(layer.activePopup)
        }
        function onCloseOrMinimizeTopPopup() {
            layer.record("closeOrMinimizeTopPopup")
            var popup = layer.activePopup
            if (!popup)
                return
            if (popup.allowMinimize)
                layer.minimize(popup)
            else
                layer.destroyPopup(popup)
        }
        function onCloseOrMinimizeAllPopups() {
            layer.record("closeOrMinimizeAllPopups")
            for (var i = layer.popups.length - 1; i >= 0; --i) {
                var popup = layer.popups[i]
                if (popup.allowMinimize)
                    popup.minimized = true
                else
                    layer.destroyPopup(popup)
            }
            layer.reinit()
        }
    }

    function register() {
        if (manager)
            manager.popupScroller = layer
    }

    onManagerChanged: register()
}
