import QtQuick

// The window's wallpaper: the user's picture when its file exists, else the style's; it moves a
// little with the pages where the style asks for it.
Item {
    id: wallpaper

    // 0 at the left page, 1 at the right page.
    property real shift: 0
    readonly property string userFile: typeof menuSettings !== "undefined" && menuSettings
                                       ? menuSettings.wallpaper : ""
    readonly property bool userFileShown: userFile !== "" && menuContext.fileExists(userFile)
    // A cropped picture is wider than the window by twice this; that is the room it moves in.
    readonly property real maxShift: Math.max(0, (image.width - width) / 2)
    readonly property alias image: image

    clip: true

    Image {
        id: image
        objectName: "wallpaperImage"
        readonly property bool cropped: fillMode === Image.PreserveAspectCrop
                                        && implicitHeight > 0
        // Drawn whole: the item itself is as wide as the cropped picture, so that moving it
        // shows more of the picture, never the window behind.
        width: cropped ? Math.max(wallpaper.width, implicitWidth * wallpaper.height / implicitHeight)
                       : wallpaper.width
        height: wallpaper.height
        fillMode: styleManager.style.wallpaperFillMode
        smooth: !navigationManager.pagesFlicking
        source: wallpaper.userFileShown
                ? (wallpaper.userFile.indexOf(":/") >= 0 ? wallpaper.userFile
                                                          : "file://" + wallpaper.userFile)
                : "../" + styleManager.style.baseWallpaper
        x: -wallpaper.maxShift
           - (styleManager.style.wallpaperShift
              ? Math.max(-wallpaper.maxShift,
                         Math.min(wallpaper.maxShift, (wallpaper.shift - 0.5) * wallpaper.maxShift))
              : 0)
    }
}
