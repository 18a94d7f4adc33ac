import QtQuick

// A list moved by keys: arrows pass over items whose `skipProperty` is true, digits pick the n-th
// visible item (items whose `hideProperty` is true do not count), and the ends are reported.
ListView {
    id: list

    property bool handleKey_Home: true
    property bool numberKeyNavigation: true
    property string skipProperty: ""
    property string hideProperty: ""
    property bool keyInteractive: true
    readonly property bool overloaded: orientation === ListView.Vertical ? contentHeight > height
                                                                         : contentWidth > width

    signal currentIndexChangedByNumberKey
    signal upKeyLimit
    signal downKeyLimit
    signal topKeyLimit
    signal bottomKeyLimit

    interactive: false
    keyNavigationEnabled: false

    function modelChild(index) {
        if (model && model.get !== undefined && model.children !== undefined)
            return model.get(index)
        return itemAtIndex(index)
    }
    function flagOf(index, name) {
        if (name === "")
            return false
        var child = modelChild(index)
        return child !== null && child !== undefined && child[name] === true
    }
    function isAvailable(index) {
        return index >= 0 && index < count && !flagOf(index, skipProperty)
    }
    function isVisibleIndex(index) {
        return index >= 0 && index < count && !flagOf(index, hideProperty)
    }
    function nextAvailable(from) {
        for (var i = from + 1; i < count; ++i) {
            if (isAvailable(i))
                return i
        }
        return from
    }
    function prevAvailable(from) {
        for (var i = from - 1; i >= 0; --i) {
            if (isAvailable(i))
                return i
        }
        return from
    }
    function firstAvailable() {
        return isAvailable(0) ? 0 : nextAvailable(0)
    }
    function lastAvailable() {
        return isAvailable(count - 1) ? count - 1 : prevAvailable(count - 1)
    }
    // The index of the n-th visible item (from 1), or -1.
    function visibleIndex(n) {
        for (var i = 0; i < count; ++i) {
            if (isVisibleIndex(i) && --n === 0)
                return i
        }
        return -1
    }

    function keyBack(event) {
        if (currentIndex <= 0)
            return
        var target = prevAvailable(currentIndex)
        if (target === currentIndex) {
            upKeyLimit()
            return
        }
        currentIndex = target
        event.accepted = true
    }
    function keyForth(event) {
        if (currentIndex >= count - 1)
            return
        var target = nextAvailable(currentIndex)
        if (target === currentIndex) {
            downKeyLimit()
            return
        }
        currentIndex = target
        event.accepted = true
    }
    function gotoTop() {
        currentIndex = firstAvailable()
        topKeyLimit()
    }
    function gotoBottom() {
        currentIndex = lastAvailable()
        bottomKeyLimit()
    }

    Keys.enabled: keyInteractive
    Keys.onPressed: event => {
                        var vertical = orientation === ListView.Vertical
                        var back = vertical ? Qt.Key_Up : Qt.Key_Left
                        var forth = vertical ? Qt.Key_Down : Qt.Key_Right
                        if (event.key === back) {
                            keyBack(event)
                        } else if (event.key === forth) {
                            keyForth(event)
                        } else if (event.key === Qt.Key_PageUp) {
                            event.accepted = true
                            gotoTop()
                        } else if (event.key === Qt.Key_Home && handleKey_Home) {
                            event.accepted = true
                            gotoTop()
                        } else if (event.key === Qt.Key_PageDown || event.key === Qt.Key_End
                                   || event.key === Qt.Key_Tab) {
                            event.accepted = true
                            gotoBottom()
                        } else if (numberKeyNavigation && event.key >= Qt.Key_1
                                   && event.key <= Qt.Key_9) {
                            var digit = event.key - Qt.Key_0
                            if (digit > count)
                                return
                            var target = visibleIndex(digit)
                            if (target < 0 || !isAvailable(target))
                                return
                            event.accepted = true
                            positionViewAtIndex(target, ListView.Contain)
                            currentIndex = target
                            currentIndexChangedByNumberKey()
                        }
                    }

    Component.onCompleted: {
        if (count > 0 && !isAvailable(currentIndex))
            currentIndex = nextAvailable(currentIndex)
    }
}
