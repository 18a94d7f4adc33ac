// Stand-in for the sites manager: the items the shell hands it.
import QtQuick

QtObject {
    property var siteMapItem: null
    property var currentSitePathItem: null
    property var currentSiteItem: null
    property var editingSiteItem: null
    property var maxSitesCountItem: null
}
