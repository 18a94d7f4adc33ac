import QtQuick
import QtTest
import DorrikBus 1.0
import "../../../share/menu/qml/properties/base"

// The status strip's indicators and the measurement tile: what they draw for their inputs, and
// when a tile's own trend collects.
TestHarness {
    id: harness

    TestCase {
        name: "Indicators"
        when: windowShown

        function init() {
            harness.reset()
            harness.deviceProps.measureStatus.measuringDeferred = false
        }

        function test_battery_data() {
            return [
                {tag: "15 % is in danger", level: 15, danger: true},
                {tag: "16 % is not", level: 16, danger: false},
                {tag: "empty", level: 0, danger: true},
                {tag: "full", level: 100, danger: false}
            ]
        }
        function test_battery(data) {
            var power = harness.create("components/PowerIndicator.qml", {level: data.level})
            verify(power)
            var style = harness.styleManager.style
            compare(power.danger, data.danger)
            compare(Qt.colorEqual(power.batteryBody.border.color, "red"), data.danger)
            if (!data.danger)
                verify(Qt.colorEqual(power.batteryBody.border.color, style.batteryBorderColor))
            verify(power.chargeBar.gradient === (data.danger ? style.batteryLowColorGradient
                                                              : style.batteryHighColorGradient))
            power.destroy()
        }

        function test_siteNameSize_data() {
            return [
                {tag: "11 characters", text: "Boiler room", small: true},
                {tag: "10 characters", text: "Pump house", small: false},
                {tag: "empty", text: "", small: false}
            ]
        }
        function test_siteNameSize(data) {
            var indicator = harness.create("components/ObjectIndicator.qml",
                                           {text: data.text, height: 32, width: 200})
            verify(indicator)
            compare(indicator.textItem.font.pixelSize,
                    data.small ? 32 / 2 - 3 : Math.round(harness.styleManager.style.currentSiteFontSize))
            indicator.destroy()
        }

        function test_card_data() {
            return [
                {tag: "0 no card", status: 0, exists: false, busy: false, error: false},
                {tag: "1 init error", status: 1, exists: true, busy: false, error: true},
                {tag: "2 installed", status: 2, exists: true, busy: false, error: false},
                {tag: "3", status: 3, exists: true, busy: false, error: true},
                {tag: "4", status: 4, exists: true, busy: false, error: true},
                {tag: "5 formatting", status: 5, exists: true, busy: true, error: false},
                {tag: "6", status: 6, exists: true, busy: true, error: false}
            ]
        }
        function test_card(data) {
            var panel = harness.create("sources/DeviceTopPanel.qml", {width: 800, height: 32})
            verify(panel)
            harness.deviceProps.cardStatus.value = data.status
            var card = findChild(panel, "cardIndicator")
            compare(card.exists, data.exists)
            compare(card.busy, data.busy)
            compare(card.error, data.error)
            tryCompare(findChild(card, "cardNoImage"), "visible", !data.exists, 1000)
            tryCompare(findChild(card, "cardImages"), "visible", data.exists, 1000)
            compare(findChild(card, "cardBusyImage").visible, data.busy)
            compare(findChild(card, "cardErrorImage").visible, data.error)
            panel.destroy()
        }

        function test_schedule_data() {
            return [
                {tag: "off", state: 0, icon: "", clickable: false},
                {tag: "active", state: 1, icon: "scheduleactive.png", clickable: true},
                {tag: "done", state: 2, icon: "scheduledone.png", clickable: true}
            ]
        }
        function test_schedule(data) {
            var indicator = harness.create("components/ScheduleIndicator.qml",
                                           {scheduleState: data.state, height: 32})
            verify(indicator)
            var image = findChild(indicator, "scheduleImage")
            compare(image.visible, data.icon !== "")
            compare(String(image.source).endsWith(data.icon), true)
            compare(indicator.enabled, data.clickable)
            var clicks = signalSpy.createObject(indicator, {target: indicator,
                                                            signalName: "clicked"})
            mouseClick(indicator)
            compare(clicks.count, data.clickable ? 1 : 0)
            indicator.destroy()
        }

        // The style's picture (800x600) in a narrow window: it moves with the pages within the
        // room the crop leaves and always covers the window.
        function test_wallpaperShift_data() {
            return [
                {tag: "left page", shift: 0, x: -100},
                {tag: "main page", shift: 0.5, x: -200},
                {tag: "right page", shift: 1, x: -300}
            ]
        }
        function test_wallpaperShift(data) {
            var wallpaper = harness.create("components/Wallpaper.qml",
                                           {width: 400, height: 600, shift: data.shift})
            verify(wallpaper)
            tryCompare(wallpaper.image, "status", Image.Ready)
            compare(wallpaper.maxShift, 200)
            compare(wallpaper.image.x, data.x)
            verify(wallpaper.image.x <= 0 && wallpaper.image.x + wallpaper.image.width >= 400)
            wallpaper.destroy()
        }

        function test_wallpaperUserFile() {
            harness.menuSettings.wallpaper = "/tmp/none-such-wallpaper.png"
            var wallpaper = harness.create("components/Wallpaper.qml", {width: 800, height: 600})
            verify(String(wallpaper.image.source).endsWith("styles/BaseStyle/wallpaper.png"))
            menuContext.saveToFile("/tmp/own-wallpaper.png", "x", false)
            harness.menuSettings.wallpaper = "/tmp/own-wallpaper.png"
            compare(String(wallpaper.image.source), "file:///tmp/own-wallpaper.png")
            harness.menuSettings.wallpaper = ""
            wallpaper.destroy()
        }

        // A tile's own trend, sampled every 20 ms here in place of a second.
        function tile(properties) {
            var prop = harness.deviceProps.flowRate
            var props = {prop: prop, useTrend: true, trendSize: 3}
            for (var key in properties)
                props[key] = properties[key]
            var item = harness.create("components/MeasureItemSmall.qml", props)
            verify(item)
            item.ownTrendModel.interval = 20
            return item
        }

        function test_ownTrendRuns_data() {
            return [
                {tag: "connected, measuring", connected: true, measuring: true, runs: true},
                {tag: "connected, not measuring", connected: true, measuring: false, runs: false},
                {tag: "disconnected, measuring", connected: false, measuring: true, runs: false},
                {tag: "neither", connected: false, measuring: false, runs: false}
            ]
        }
        function test_ownTrendRuns(data) {
            var item = tile({})
            harness.deviceModbus.connected = data.connected
            harness.deviceProps.measureStatus.measuringDeferred = data.measuring
            compare(item.ownTrendModel.running, data.runs)
            wait(100)
            compare(item.ownTrendModel.count > 0, data.runs)
            item.destroy()
        }

        // A status word's tile: a property without a number format of its own. Its chart shows
        // no labels, so nothing asks the base for a format (it would complain at every start).
        Component {
            id: unformattedProp
            BaseProperty {
                // Pushed without a new assignment: the labels' bindings do not depend on it.
                property var formatAsked: []
                property string formatValue: "b101"
                function getFormatted(arg) {
                    formatAsked.push(arg)
                    return ""
                }
            }
        }
        function test_statusTileAsksNoFormat() {
            var prop = createTemporaryObject(unformattedProp, harness)
            var item = tile({prop: prop, useTrend: false})
            wait(50)
            compare(prop.formatAsked.length, 0)
            item.destroy()
        }

        function test_ownTrendHoldsTrendSize() {
            var item = tile({})
            harness.deviceProps.measureStatus.measuringDeferred = true
            tryVerify(function () { return item.ownTrendModel.count === 3 }, 1000)
            wait(100)
            compare(item.ownTrendModel.count, 3)
            // Measuring stops: the trend holds what it has.
            harness.deviceProps.measureStatus.measuringDeferred = false
            compare(item.ownTrendModel.running, false)
            item.destroy()
        }

        Component {
            id: signalSpy
            SignalSpy {}
        }
        Component {
            id: outsideTrend
            ModbusTrendModel {}
        }

        // A sensor fault in the middle of the trend: the samples after it are still drawn and
        // the value labels stay numbers.
        function test_nanSampleLeavesTheRestDrawn() {
            var model = outsideTrend.createObject(harness)
            var start = new Date(2024, 5, 15, 10, 0, 0)
            var values = [1, 2, NaN, 3, 4, 5]
            for (var i = 0; i < values.length; ++i)
                model.addValue(new Date(start.getTime() + i * 1000), values[i])
            var plot = harness.create("components/PropPlot.qml", {
                                          prop: harness.deviceProps.flowRate, model: model,
                                          width: 300, height: 120, viewCount: 6,
                                          zeroTime: start, alignH: 2, scaleV: 2,
                                          scaleVPercents: 100})
            verify(plot)
            compare(plot.curve.count, values.length)
            tryVerify(function () { return plot.plotItem.yMax > plot.plotItem.yMin }, 2000)
            verify(isFinite(plot.plotItem.yMin) && isFinite(plot.plotItem.yMax))
            var maxText = findChild(plot, "plotYMax").text
            verify(maxText.indexOf("NaN") < 0, maxText)
            // Curve pixels right of the gap.
            var image
            var found = false
            tryVerify(function () {
                image = grabImage(plot.plotItem)
                for (var x = image.width * 3 / 4; x < image.width && !found; ++x) {
                    for (var y = 0; y < image.height && !found; ++y)
                        found = image.pixel(x, y).b > 0.5 && image.pixel(x, y).r < 0.3
                }
                return found
            }, 3000)
            plot.destroy()
            model.destroy()
        }
    }
}
