import QtQuick
import QtTest
import DorrikBus 1.0

// The date-time fields: day bounds by month and year, typing from field to field, the clock
// button and the year bounds of a register date. Run in more than one time zone.
TestHarness {
    id: harness

    Component {
        id: registerTime
        ModbusDateTime {
        }
    }

    TestCase {
        name: "DateTimeEdit"
        when: windowShown

        function make(properties) {
            var edit = harness.create("components/DateTimeEdit.qml", properties)
            verify(edit)
            return edit
        }

        function test_dayBound_data() {
            return [
                {tag: "31 March to April", date: new Date(2024, 2, 31, 12, 0, 0),
                 field: "monthEdit", to: 3, day: 30},
                {tag: "31 January to February, leap year", date: new Date(2024, 0, 31),
                 field: "monthEdit", to: 1, day: 29},
                {tag: "29 February 2024 to 2023", date: new Date(2024, 1, 29),
                 field: "yearEdit", to: 2023, day: 28},
                {tag: "29 February 2024 to 2000", date: new Date(2024, 1, 29),
                 field: "yearEdit", to: 2000, day: 29},
                {tag: "29 February 2024 to 2100", date: new Date(2024, 1, 29),
                 field: "yearEdit", to: 2100, day: 28},
            ]
        }

        function test_dayBound(data) {
            var edit = make()
            edit.setValue(data.date)
            compare(edit.dayEdit.value, data.date.getDate())
            edit[data.field].value = data.to
            compare(edit.dayEdit.value, data.day)
            compare(edit.dayEdit.maxValue, data.day === 29 && data.to !== 3 ? 29 : data.day)
            compare(edit.value.getDate(), data.day)
            compare(edit.value.getMonth(), edit.monthEdit.value)
            compare(edit.value.getFullYear(), edit.yearEdit.value)
            compare(edit.value.getHours(), data.date.getHours())
        }

        function test_valueFromFields() {
            var edit = make()
            edit.setValue(new Date(2023, 10, 5, 7, 8, 9))
            compare(edit.value.getTime(), new Date(2023, 10, 5, 7, 8, 9).getTime())
            compare(edit.dayEdit.input.text, "05")
            compare(edit.monthEdit.input.text, "november")
            compare(edit.hourEdit.input.text, "07")
            edit.useTime = false
            edit.dayEdit.value = 6
            compare(edit.value.getTime(), new Date(2023, 10, 6, 0, 0, 0).getTime())
        }

        function test_typingMovesOn_data() {
            return [
                {tag: "day", field: "dayEdit", keys: [Qt.Key_1, Qt.Key_2], value: 12,
                 next: "monthEdit"},
                {tag: "year", field: "yearEdit", keys: [Qt.Key_2, Qt.Key_0, Qt.Key_2, Qt.Key_3],
                 value: 2023, next: "hourEdit"},
                {tag: "minute", field: "minuteEdit", keys: [Qt.Key_4, Qt.Key_5], value: 45,
                 next: "secondEdit"},
            ]
        }

        function test_typingMovesOn(data) {
            var edit = make()
            edit.setValue(new Date(2000, 0, 1, 0, 0, 0))
            edit[data.field].forceActiveFocus()
            for (var i = 0; i < data.keys.length; ++i) {
                verify(edit[data.field].activeFocus, "focus left after " + i + " keys")
                keyClick(data.keys[i])
            }
            compare(edit[data.field].value, data.value)
            verify(edit[data.next].activeFocus)
        }

        function test_tabAndArrowsMove() {
            var edit = make()
            edit.dayEdit.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(edit.monthEdit.activeFocus)
            keyClick(Qt.Key_Right)
            verify(edit.yearEdit.activeFocus)
            keyClick(Qt.Key_Left)
            verify(edit.monthEdit.activeFocus)
        }

        function test_clockButton() {
            var edit = make()
            edit.setValue(new Date(2000, 0, 1))
            mouseClick(edit.currentTimeButton)
            compare(edit.value.getTime(), harness.deviceModbus.timeRo.value.getTime())
            compare(edit.yearEdit.value, 2024)
            compare(edit.secondEdit.value, 30)
        }

        function test_yearBounds_data() {
            return [
                {tag: "register year takes 2105", maxYear: 2105, keys: [2, 1, 0, 5], year: 2105},
                {tag: "register year refuses 2106", maxYear: 2105, keys: [2, 1, 0, 6],
                 year: 2000},
                {tag: "menu year takes 7999", maxYear: undefined, keys: [7, 9, 9, 9],
                 year: 7999},
            ]
        }

        function test_yearBounds(data) {
            var edit = make(data.maxYear === undefined ? {} : {maxYear: data.maxYear})
            edit.setValue(new Date(2000, 5, 1))
            edit.yearEdit.forceActiveFocus()
            for (var i = 0; i < data.keys.length; ++i)
                keyClick(Qt.Key_0 + data.keys[i])
            compare(edit.yearEdit.value, data.year)
            compare(edit.value.getFullYear(), data.year)
            // A refused year keeps the focus, so the user sees it was not taken.
            compare(edit.hourEdit.activeFocus, data.year !== 2000)
        }

        function test_lastRegisterMomentEncodes() {
            var edit = make({minYear: 1970, maxYear: 2105})
            edit.setValue(new Date(2105, 11, 31, 23, 59, 59))
            var item = createTemporaryObject(registerTime, harness)
            item.value = edit.value
            compare(testTools.hexBytes(item), "FF CE DD 7F")
        }
    }
}
