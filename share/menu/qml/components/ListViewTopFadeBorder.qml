import QtQuick

// Over the top of a long list while it is scrolled down from its start.
HorizontalFadeBorder {
    property var sourceListView: null
    readonly property bool longList: sourceListView !== null
                                     && sourceListView.contentHeight > sourceListView.height

    fadeFromTop: true
    visible: longList && sourceListView.contentY - sourceListView.originY > 0
}
