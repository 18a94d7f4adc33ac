import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        id: testCase
        harness: harness
        name: "Viewers"

        readonly property string guideName: "Short User Guide"
        property string titledPdf: ""
        property string untitledPdf: ""
        property string brokenPdf: ""
        property string titledHtml: ""
        property string plainHtml: ""

        function initTestCase() {
            titledPdf = testTools.writePdf("titled.pdf", 3, "Pump guide")
            untitledPdf = testTools.writePdf("three.pdf", 3, "")
            brokenPdf = testTools.writeFile("broken.pdf", "%PDF-1.4\n1 0 obj << /Type /Catalog")
            var paragraphs = ""
            for (var i = 1; i <= 80; ++i)
                paragraphs += "<p>Paragraph " + i + " of a long page.</p>\n"
            titledHtml = testTools.writeFile("notes.html", "<html><head><title>Site notes</title>"
                                             + "</head><body>" + paragraphs + "</body></html>")
            plainHtml = testTools.writeFile("plain.htm", "<html><body>" + paragraphs
                                            + "</body></html>")
            verify(titledPdf !== "" && untitledPdf !== "" && brokenPdf !== "")
        }

        function openViewer(path) {
            var popup = harness.screenManager.showViewer(path)
            verify(popup, "no viewer popup for " + path)
            return popup
        }
        function openReady(path) {
            var popup = openViewer(path)
            verify(popup.viewer, "no viewer for " + path)
            return popup
        }
        function livePopups() {
            var result = []
            var popups = popupLayer.container.children
            for (var i = 0; i < popups.length; ++i) {
                if (!popups[i].destroying)
                    result.push(popups[i])
            }
            return result
        }

        function test_viewerChoice_data() {
            return [
                {tag: "a.PDF", name: "a.PDF", viewer: "pdfViewer", icon: "pdficon.png"},
                {tag: "b.htm", name: "b.htm", viewer: "webViewer", icon: "htmlicon.png"},
                {tag: "c.HTML", name: "c.HTML", viewer: "webViewer", icon: "htmlicon.png"},
                {tag: "d.txt", name: "d.txt", viewer: "", icon: "htmlicon.png"}
            ]
        }
        function test_viewerChoice(data) {
            var popup = openViewer(testTools.writeFile(data.name, "<html><body>x</body></html>"))
            if (data.viewer === "")
                compare(popup.viewer, null)
            else
                compare(popup.viewer.objectName, data.viewer)
            verify(String(popup.icon).endsWith("/viewers/" + data.icon), String(popup.icon))
            tryCompare(popup.iconImage, "status", Image.Ready)
            verify(!popup.pagesVisible)
            verify(popup.hideBottomPanel)
            compare(qmlWarnings(), [])
        }

        // The drag distance is discarded exactly while a viewer is the top popup.
        function test_dragDistanceWhileViewerOnTop() {
            compare(menuContext.discardDragDistance, false)
            var viewer = openReady(titledPdf)
            compare(menuContext.discardDragDistance, true)
            var cover = harness.screenManager.showPopup(testPopups + "TestPopup.qml", {}, true)
            compare(popupLayer.activePopup, cover)
            compare(menuContext.discardDragDistance, false)
            harness.screenManager.closePopup(cover)
            compare(popupLayer.activePopup, viewer)
            compare(menuContext.discardDragDistance, true)
            viewer.minimize()
            compare(menuContext.discardDragDistance, false)
            harness.screenManager.expandPopup(viewer)
            compare(menuContext.discardDragDistance, true)
            harness.screenManager.closePopup(viewer)
            compare(menuContext.discardDragDistance, false)
            wait(0)
            compare(menuContext.discardDragDistance, false)
        }

        function test_thirdDocument_data() {
            return [
                {tag: "instrument", embedded: true, live: 2},
                {tag: "desktop", embedded: false, live: 3}
            ]
        }
        function test_thirdDocument(data) {
            menuContext.embedded = data.embedded
            var first = openReady(titledPdf)
            var second = openReady(titledHtml)
            verify(first.minimized)
            var third = openReady(untitledPdf)
            compare(livePopups().length, data.live)
            if (data.embedded) {
                // The top-most of the two comes back.
                compare(third, second)
                verify(!second.minimized)
                compare(popupLayer.activePopup, second)
            } else {
                verify(third !== first && third !== second)
                compare(popupLayer.activePopup, third)
            }
        }

        function test_zoom_data() {
            return [
                {tag: "instrument: in from 2.0736 refused at 2.1", embedded: true, from: 2.0736,
                    key: Qt.Key_Plus, expected: 2.0736},
                {tag: "desktop: in from 2.0736 taken below 5", embedded: false, from: 2.0736,
                    key: Qt.Key_Plus, expected: 2.48832},
                {tag: "Return zooms in", embedded: false, from: 1, key: Qt.Key_Return,
                    expected: 1.2},
                {tag: "Minus zooms out", embedded: false, from: 1.2, key: Qt.Key_Minus,
                    expected: 1},
                {tag: "Backspace zooms out", embedded: false, from: 1.2, key: Qt.Key_Backspace,
                    expected: 1},
                {tag: "out below 0.2 refused", embedded: false, from: 0.22, key: Qt.Key_Minus,
                    expected: 0.22}
            ]
        }
        function test_zoom(data) {
            menuContext.embedded = data.embedded
            var viewer = openReady(titledPdf).viewer
            tryCompare(viewer, "pagesCount", 3)
            viewer.scale = data.from
            keyClick(data.key)
            fuzzyCompare(viewer.scale, data.expected, 1e-9)
            fuzzyCompare(viewer.renderer.scale, data.expected, 1e-9)
            compare(viewer.renderer.width, Math.round(viewer.renderer.pagePointSize.width
                                                      * data.expected))
        }

        function test_keyMoves_data() {
            return [
                {tag: "pdf", file: "titledPdf"},
                {tag: "html", file: "titledHtml"}
            ]
        }
        function test_keyMoves(data) {
            var viewer = openReady(testCase[data.file]).viewer
            tryVerify(function () { return viewer.flickable.contentHeight > 0 })
            viewer.scale = 3
            var flick = viewer.flickable
            verify(flick.contentWidth > flick.width && flick.contentHeight > flick.height)
            flick.contentX = 0
            flick.contentY = 0
            keyClick(Qt.Key_Down)
            compare(flick.contentY, viewer.keyMoveShift)
            keyClick(Qt.Key_Right)
            compare(flick.contentX, viewer.keyMoveShift)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Up)
            compare(flick.contentY, 0)
            keyClick(Qt.Key_Left)
            compare(flick.contentX, 0)
        }

        // A zoom step keeps the point at the centre of the view in the centre.
        function test_zoomKeepsTheCentre_data() {
            return [
                {tag: "pdf", file: "titledPdf"},
                {tag: "html", file: "titledHtml"}
            ]
        }
        function test_zoomKeepsTheCentre(data) {
            var viewer = openReady(testCase[data.file]).viewer
            var flick = viewer.flickable
            tryVerify(function () { return flick.contentHeight > 0 })
            viewer.scale = 2
            flick.contentX = (flick.contentWidth - flick.width) / 2
            flick.contentY = (flick.contentHeight - flick.height) / 2
            var cx = (flick.contentX + flick.width / 2) / flick.contentWidth
            var cy = (flick.contentY + flick.height / 2) / flick.contentHeight
            keyClick(Qt.Key_Plus)
            fuzzyCompare(viewer.scale, 2.4, 1e-9)
            fuzzyCompare((flick.contentX + flick.width / 2) / flick.contentWidth, cx, 0.01)
            fuzzyCompare((flick.contentY + flick.height / 2) / flick.contentHeight, cy, 0.01)
            // Back below the view's size the content lies at its origin.
            viewer.scale = 0.1
            compare(flick.contentX, 0)
            compare(flick.contentY, 0)
        }

        function test_pdfPages_data() {
            return [
                {tag: "with a title", file: "titledPdf", name: "Pump guide"},
                {tag: "without a title", file: "untitledPdf", name: "three.pdf"}
            ]
        }
        function test_pdfPages(data) {
            var popup = openReady(testCase[data.file])
            var viewer = popup.viewer
            tryCompare(viewer, "pagesCount", 3)
            compare(viewer.page, 1)
            compare(viewer.caption, data.name + " (1)")
            compare(popup.caption, viewer.caption)
            var navigator = viewer.pageNavigator
            verify(navigator.visible)
            verify(!navigator.upButton.enabled)
            verify(navigator.downButton.enabled)

            viewer.gotoPage(2)
            compare(viewer.page, 2)
            compare(viewer.caption, data.name + " (2)")
            compare(navigator.pageInput.text, "2")
            verify(navigator.upButton.enabled)

            // Page down from a scrolled page shows the next one from its top.
            viewer.scale = 2
            viewer.flickable.contentY = 40
            keyClick(Qt.Key_PageDown)
            compare(viewer.page, 3)
            compare(viewer.flickable.contentY, 0)
            verify(!navigator.downButton.enabled)
            keyClick(Qt.Key_PageDown)
            compare(viewer.page, 3)
            keyClick(Qt.Key_PageUp)
            compare(viewer.page, 2)

            // The page typed in the field and confirmed.
            navigator.pageInput.forceActiveFocus()
            navigator.pageInput.text = "1"
            keyClick(Qt.Key_Return)
            compare(viewer.page, 1)
            mouseClick(navigator.downButton)
            compare(viewer.page, 2)
            compare(qmlWarnings(), [])
        }

        // The field shows the page actually shown after every request, a refused one too.
        function test_pageField_data() {
            return [
                {tag: "0 on page 1", from: 1, typed: "0", page: 1},
                {tag: "9 on the last of 3", from: 3, typed: "9", page: 3},
                {tag: "2 from page 3", from: 3, typed: "2", page: 2},
                {tag: "nothing typed", from: 2, typed: "", page: 2}
            ]
        }
        function test_pageField(data) {
            var viewer = openReady(untitledPdf).viewer
            tryCompare(viewer, "pagesCount", 3)
            viewer.gotoPage(data.from)
            compare(viewer.page, data.from)
            var field = viewer.pageNavigator.pageInput
            field.input.forceActiveFocus()
            field.input.selectAll()
            if (data.typed === "")
                keyClick(Qt.Key_Delete)
            for (var i = 0; i < data.typed.length; ++i)
                keyClick(data.typed[i])
            compare(field.text, data.typed)
            keyClick(Qt.Key_Return)
            compare(viewer.page, data.page)
            compare(field.text, String(data.page))
        }

        function test_damagedPdfIsEmpty() {
            var popup = openReady(brokenPdf)
            var viewer = popup.viewer
            wait(50)
            compare(viewer.pagesCount, 0)
            compare(viewer.caption, "broken.pdf")
            compare(popup.caption, "broken.pdf")
            compare(viewer.renderer.width, 0)
            keyClick(Qt.Key_PageDown)
            keyClick(Qt.Key_Plus)
            compare(viewer.page, 1)
        }

        function test_htmlCaptionAndPages_data() {
            return [
                {tag: "with a title", file: "titledHtml", title: "Site notes"},
                {tag: "without a title", file: "plainHtml", title: ""}
            ]
        }
        function test_htmlCaptionAndPages(data) {
            var path = testCase[data.file]
            var popup = openReady(path)
            var viewer = popup.viewer
            compare(viewer.caption, data.title !== "" ? data.title : "file://" + path)
            compare(popup.caption, viewer.caption)
            verify(!viewer.pageNavigator.visible)
            var flick = viewer.flickable
            tryVerify(function () { return flick.contentHeight > 2 * flick.height })
            keyClick(Qt.Key_PageDown)
            compare(flick.contentY, flick.height)
            keyClick(Qt.Key_PageDown)
            compare(flick.contentY, 2 * flick.height)
            keyClick(Qt.Key_PageUp)
            compare(flick.contentY, flick.height)
        }

        function test_shippedGuide_data() {
            return [
                {tag: "html", ext: ".html", viewer: "webViewer"},
                {tag: "pdf", ext: ".pdf", viewer: "pdfViewer"}
            ]
        }
        function test_shippedGuide(data) {
            var popup = openReady(menuContext.docsDir + guideName + data.ext)
            compare(popup.viewer.objectName, data.viewer)
            tryVerify(function () {
                return popup.viewer.caption.indexOf("Tavrin menu: short user guide") === 0
            })
            if (data.ext === ".pdf")
                verify(popup.viewer.pagesCount >= 2)
        }

        // The page navigator's and the zoom keys' signs in the shipped font.
        function test_navigatorSigns() {
            var viewer = openReady(titledPdf).viewer
            var signs = viewer.pageNavigator.upButton.caption + viewer.pageNavigator.downButton.caption
                    + viewer.scaleNavigator.plusButton.caption
                    + viewer.scaleNavigator.minusButton.caption
            compare(signs, "\u2191\u2193+-")
            compare(testTools.missingCharacters(":/share/menu/fonts/DejaVuSans.ttf", signs), "")
        }
    }
}
