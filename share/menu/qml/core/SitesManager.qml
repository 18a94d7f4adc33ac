// Stand-in for the sites manager: the items the shell hands it and the record sizes the register
// map reads.
import QtQuick

QtObject {
    property var siteMapItem: null
    property var currentSitePathItem: null
    property var currentSiteItem: null
    property var editingSiteItem: null
    property var maxSitesCountItem: null
    property int siteNameSize: 40
    property int reservedBytesCount: 0
    property int siteRecordSize: siteNameSize * 3 + reservedBytesCount + 2
    property int maxSitesCount: maxSitesCountItem ? maxSitesCountItem.value : 0
    property int editingSiteIndex: 0
}
