import QtQuick

// Stand-in for the keyboard list until the frames and menu items land: a list that is not
// flickable, moves with the arrow keys and reports its limits.
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

    Keys.enabled: keyInteractive
    Keys.onPressed: event => {
                        var back = orientation === ListView.Vertical ? Qt.Key_Up : Qt.Key_Left
                        var forth = orientation === ListView.Vertical ? Qt.Key_Down : Qt.Key_Right
                        if (event.key === back) {
                            if (currentIndex <= 0) {
                                if (currentIndex === 0)
                                    upKeyLimit()
                                return
                            }
                            currentIndex = currentIndex - 1
                            event.accepted = true
                        } else if (event.key === forth) {
                            if (currentIndex >= count - 1) {
                                downKeyLimit()
                                return
                            }
                            currentIndex = currentIndex + 1
                            event.accepted = true
                        }
                    }
}
