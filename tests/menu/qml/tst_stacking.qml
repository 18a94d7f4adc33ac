import QtQuick
import QtTest
import "popuplayer"

TestHarness {
    id: harness

    PopupLayerTestCase {
        harness: harness
        name: "Stacking"

        readonly property string source: testPopups + "TestPopup.qml"

        function test_openedPopupIsActiveFocusedAndTagged() {
            var popup = harness.screenManager.showPopup(source, {caption: "first"})
            verify(popup)
            compare(popup.tag, source)
            compare(popupLayer.activePopup, popup)
            compare(popupLayer.bottomActivePopup, popup)
            verify(popup.topActive)
            verify(popup.activeFocus)
            verify(!popup.hasParentPopup)
            verify(!popup.faderActive)
        }

        function test_childIsAboveItsDarkenedParentAndReturnsFocus() {
            var parentPopup = harness.screenManager.showPopup(source, {caption: "parent"})
            var child = harness.screenManager.showPopup(source, {caption: "child"}, true)
            compare(child.parentPopup, parentPopup)
            verify(child.hasParentPopup)
            compare(popupLayer.activePopup, child)
            compare(popupLayer.bottomActivePopup, parentPopup)
            verify(child.activeFocus)
            verify(!parentPopup.topActive)
            verify(parentPopup.faderActive)
            verify(!child.faderActive)

            child.close()
            compare(popupLayer.activePopup, parentPopup)
            verify(parentPopup.topActive)
            verify(parentPopup.activeFocus)
            verify(!parentPopup.faderActive)
        }

        function test_shownAndHiddenFollowTopActive() {
            var first = harness.screenManager.showPopup(source)
            var shown = 0, hidden = 0
            first.shown.connect(function () { shown++ })
            first.hidden.connect(function () { hidden++ })
            var second = harness.screenManager.showPopup(source, {}, true)
            compare(hidden, 1)
            second.close()
            compare(shown, 1)
        }
    }
}
