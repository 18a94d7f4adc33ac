import QtQuick
import QtTest

TestHarness {
    id: harness

    TestCase {
        name: "Stacking"
        when: windowShown

        readonly property string source: harness.testPopups + "TestPopup.qml"

        function cleanup() {
            harness.screenManager.closeOrMinimizeAllPopups()
            var popups = harness.popupScroller.container.children
            for (var i = 0; i < popups.length; ++i)
                harness.screenManager.closePopup(popups[i])
            wait(0)
            menuContext.embedded = false
        }

        function test_openedPopupIsActiveFocusedAndTagged() {
            var popup = harness.screenManager.showPopup(source, {caption: "first"})
            verify(popup)
            compare(popup.tag, source)
            compare(harness.popupScroller.activePopup, popup)
            compare(harness.popupScroller.bottomActivePopup, popup)
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
            compare(harness.popupScroller.activePopup, child)
            compare(harness.popupScroller.bottomActivePopup, parentPopup)
            verify(child.activeFocus)
            verify(!parentPopup.topActive)
            verify(parentPopup.faderActive)
            verify(!child.faderActive)

            child.close()
            compare(harness.popupScroller.activePopup, parentPopup)
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
