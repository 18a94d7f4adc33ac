import QtQuick

// The scroll indicator at a long list's right edge.
VerticalScrollIndicator {
    property var sourceListView: null
    readonly property real position: sourceListView ? sourceListView.contentY
                                                      - sourceListView.originY : 0

    width: 3 * starter.mm
    visible: sourceListView !== null && sourceListView.contentHeight > sourceListView.height
             && position >= 0 && position <= sourceListView.contentHeight
    percents: visible ? position * 100 / (sourceListView.contentHeight - sourceListView.height) : 0
}
