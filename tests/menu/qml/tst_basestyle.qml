import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    TestCase {
        name: "BaseStyle"

        readonly property real baseMm: 96 / 25.4
        readonly property url menuRoot: Qt.resolvedUrl("../../../share/menu/qml/")

        Component {
            id: styleRoot
            StyleRoot {}
        }

        function cleanup() {
            menuContext.embedded = false
        }

        function test_isTheStyleManagersFirstStyle() {
            var style = harness.styleManager.stylesArr[0]
            compare(harness.styleManager.style, style)
            compare(style.closeIcon, "styles/BaseStyle/closeicon.png")
        }

        // Lengths in millimetres keep their physical size; pixel sizes do not change.
        function test_density_data() {
            return [
                {tag: "baseButtonWidth, 35 mm", name: "baseButtonWidth", mm: 35},
                {tag: "smallButtonHeight, 15 mm", name: "smallButtonHeight", mm: 15},
                {tag: "dialogMargin, 5 mm", name: "dialogMargin", mm: 5},
                {tag: "mediumFontSize, 7 mm", name: "mediumFontSize", mm: 7},
                {tag: "menuItemRowSmallCaptionFontSize, 5 mm + 1", name: "menuItemRowSmallCaptionFontSize",
                 mm: 5, px: 1},
                {tag: "topPanelHeight, 32 px", name: "topPanelHeight", mm: 0, px: 32},
                {tag: "mainButtonWidth, 190 px", name: "mainButtonWidth", mm: 0, px: 190},
                {tag: "bottomPanelHeight, 60 px", name: "bottomPanelHeight", mm: 0, px: 60},
                {tag: "screenKeypadButtonFontSize, 34 px", name: "screenKeypadButtonFontSize", mm: 0,
                 px: 34},
            ]
        }

        function test_density(data) {
            var root = createTemporaryObject(styleRoot, null)
            var px = data.px ? data.px : 0
            fuzzyCompare(root.style[data.name], data.mm * baseMm + px, 1e-9)
            root.mm = 2 * baseMm
            fuzzyCompare(root.style[data.name], 2 * data.mm * baseMm + px, 1e-9)
        }

        function test_dialogSize_data() {
            return [
                {tag: "800x600", width: 800, height: 600, dialogWidth: 760, dialogHeight: 540},
                {tag: "640x480", width: 640, height: 480, dialogWidth: 608, dialogHeight: 432},
            ]
        }

        function test_dialogSize(data) {
            var root = createTemporaryObject(styleRoot, null,
                                             {windowWidth: data.width, windowHeight: data.height})
            compare(root.style.dialogWidth, data.dialogWidth)
            compare(root.style.dialogHeight, data.dialogHeight)
            fuzzyCompare(root.style.bottomButtonWidth, data.width / 3, 1e-9)
        }

        // WCAG's contrast ratio of two opaque colours.
        function contrast(a, b) {
            function luminance(c) {
                function channel(v) {
                    return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4)
                }
                return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b)
            }
            var la = luminance(a)
            var lb = luminance(b)
            return (Math.max(la, lb) + 0.05) / (Math.min(la, lb) + 0.05)
        }
        // Texts that must read on their faces, a disabled caption too (at least 3:1).
        function test_captionContrast_data() {
            return [
                {tag: "button caption", text: "baseButtonFontColor", face: "baseButtonBackColor"},
                {tag: "disabled button caption", text: "baseButtonFontColor_disabled",
                 face: "baseButtonBackColor"},
            ]
        }
        function test_captionContrast(data) {
            var style = harness.styleManager.style
            var ratio = contrast(style[data.text], style[data.face])
            verify(ratio >= 3, data.text + " on " + data.face + ": " + ratio.toFixed(2))
        }

        function test_mainButtonOutline_data() {
            return [
                {tag: "instrument", embedded: true, color: "#55ffffff"},
                {tag: "desktop", embedded: false, color: "#22ffffff"},
            ]
        }

        function test_mainButtonOutline(data) {
            menuContext.embedded = data.embedded
            var root = createTemporaryObject(styleRoot, null)
            verify(Qt.colorEqual(root.style.mainButtonFontStyleColor, data.color),
                   String(root.style.mainButtonFontStyleColor))
        }

        function loads(path) {
            var image = createTemporaryQmlObject(
                        "import QtQuick; Image { asynchronous: false }", harness)
            image.source = menuRoot + path
            return image.status === Image.Ready && image.sourceSize.width > 0
        }

        function test_everyImageValueLoads() {
            var root = createTemporaryObject(styleRoot, null)
            var checked = 0
            for (var name in root.style) {
                var value = root.style[name]
                if (typeof value === "string" && value.match(/\.png$/)) {
                    verify(value.indexOf(root.style.styleFolder) === 0, name)
                    verify(loads(value), name + ": " + value)
                    ++checked
                }
            }
            verify(checked > 0)
        }

        function test_everyPictureLoads_data() {
            var names = ["about", "about_pressed", "addsite", "appicon", "applications", "archives",
                         "backspacescreenbutton", "broom", "button_triangle", "card", "card_busy",
                         "card_error", "card_no", "checkbox_checked", "checkbox_grayed",
                         "checkbox_unchecked", "clonesite", "closecross", "closeicon", "deletesite",
                         "dialogsbackground", "documents", "editpencil", "exit", "failure",
                         "foldermagnifier", "home", "home_pressed", "importarrow",
                         "menuItemRightArrow", "menuItemRightArrow_pressed", "minimizeicon",
                         "modifysite", "moon", "periphery", "prevframe", "profile",
                         "profile_pressed", "progressbarbackground", "progressbarfill", "saveadc",
                         "scheduleactive", "scheduledone", "screencursorbutton", "settings",
                         "settings_pressed", "shiftscreenbutton", "signalwindowbackground", "site",
                         "sitegroup", "sitegroupup", "sitesubgroup", "sun", "treevertline", "usb",
                         "wallpaper"]
            return names.map(function (n) { return {tag: n + ".png", file: n + ".png"} })
        }

        function test_everyPictureLoads(data) {
            verify(loads("styles/BaseStyle/" + data.file))
        }

        // The sizes the style lays the pictures out at.
        function test_pictureSize_data() {
            return [
                {tag: "closecross.png", file: "closecross.png", maxWidth: 16, maxHeight: 16},
                {tag: "appicon.png", file: "appicon.png", maxWidth: 64, maxHeight: 64},
                {tag: "about.png", file: "about.png", maxWidth: 160, maxHeight: 110},
                {tag: "settings.png", file: "settings.png", maxWidth: 160, maxHeight: 110},
                {tag: "usb.png", file: "usb.png", maxWidth: 32, maxHeight: 32},
                {tag: "card.png", file: "card.png", maxWidth: 32, maxHeight: 32},
                {tag: "dialogsbackground.png", file: "dialogsbackground.png", minWidth: 31,
                 minHeight: 31},
            ]
        }

        function test_pictureSize(data) {
            var image = createTemporaryQmlObject("import QtQuick; Image { asynchronous: false }",
                                                 harness)
            image.source = menuRoot + "styles/BaseStyle/" + data.file
            if (data.maxWidth) {
                verify(image.sourceSize.width <= data.maxWidth, image.sourceSize.width)
                verify(image.sourceSize.height <= data.maxHeight, image.sourceSize.height)
            }
            if (data.minWidth) {
                // Two 15 px edges and a middle to stretch.
                verify(image.sourceSize.width >= data.minWidth)
                verify(image.sourceSize.height >= data.minHeight)
            }
        }
    }
}
