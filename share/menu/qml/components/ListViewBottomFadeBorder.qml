import QtQuick

// Over the bottom of a long list while more of it lies below.
HorizontalFadeBorder {
    property var sourceListView: null
    readonly property bool longList: sourceListView !== null
                                     && sourceListView.contentHeight > sourceListView.height

    fadeFromTop: false
    visible: longList && sourceListView.contentHeight - (sourceListView.contentY
                                                         - sourceListView.originY)
             - sourceListView.height > 2
}
