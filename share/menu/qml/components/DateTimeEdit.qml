import QtQuick

// Spin fields for a date and a time, and a button that takes the instrument's clock.
FocusScope {
    id: dateTimeEdit

    property date value: new Date(1970, 0, 1, 0, 0, 0)
    property bool useDate: true
    property bool useTime: true
    property bool showCurrentTimeButton: useDate
    property real widthCoeff: 1
    // A register holds seconds since 1970 in 32 bits: its editor narrows these.
    property int minYear: 1970
    property int maxYear: 7999
    readonly property var fields: [dayEdit, monthEdit, yearEdit, hourEdit, minuteEdit, secondEdit]
    property alias dayEdit: dayEdit
    property alias monthEdit: monthEdit
    property alias yearEdit: yearEdit
    property alias hourEdit: hourEdit
    property alias minuteEdit: minuteEdit
    property alias secondEdit: secondEdit
    property alias currentTimeButton: currentTimeButton

    property bool settingValue: false

    function daysInMonth(year, month) {
        return new Date(year, month + 1, 0).getDate()
    }
    function updateDayBound() {
        var days = daysInMonth(yearEdit.value, monthEdit.value)
        dayEdit.maxValue = days
        if (dayEdit.value > days)
            dayEdit.value = days
    }
    function rebuild() {
        if (settingValue)
            return
        var result = new Date(1970, 0, 1, 0, 0, 0)
        if (useDate)
            result.setFullYear(yearEdit.value, monthEdit.value, dayEdit.value)
        if (useTime)
            result.setHours(hourEdit.value, minuteEdit.value, secondEdit.value)
        value = result
    }
    function setValue(date) {
        settingValue = true
        yearEdit.value = date.getFullYear()
        monthEdit.value = date.getMonth()
        dayEdit.maxValue = 31
        dayEdit.value = date.getDate()
        hourEdit.value = date.getHours()
        minuteEdit.value = date.getMinutes()
        secondEdit.value = date.getSeconds()
        settingValue = false
        updateDayBound()
        rebuild()
    }
    // The next or previous shown field, for typing, Tab, Left and Right.
    function moveFocus(from, step) {
        var index = fields.indexOf(from)
        for (var i = index + step; i >= 0 && i < fields.length; i += step) {
            if (fields[i].visible) {
                fields[i].forceActiveFocus()
                return true
            }
        }
        return false
    }

    height: 160
    width: row.width

    Row {
        id: row
        height: parent.height
        spacing: 14

        Column {
            visible: dateTimeEdit.useDate
            Text {
                text: qsTranslate("DayOhMonth", "date")
                width: dayEdit.width
                height: 17
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#EEEEEE"
            }
            UpDownIntEdit {
                id: dayEdit
                objectName: "dayEdit"
                width: 47 * dateTimeEdit.widthCoeff
                height: dateTimeEdit.height - 17
                minValue: 1
                maxValue: 31
                value: 1
                digits: 2
                needInputLength: 2
                focus: dateTimeEdit.useDate
                onValueChanged: dateTimeEdit.rebuild()
                onManuallyFilled: dateTimeEdit.moveFocus(dayEdit, 1)
                onKeyPressed: event => dateTimeEdit.fieldKey(dayEdit, event)
            }
        }
        Column {
            visible: dateTimeEdit.useDate
            Text {
                text: qsTranslate("DateTimeEdit", "month")
                width: monthEdit.width
                height: 17
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#EEEEEE"
            }
            UpDownIntEdit {
                id: monthEdit
                objectName: "monthEdit"
                width: 165 * dateTimeEdit.widthCoeff
                height: dateTimeEdit.height - 17
                list: [QT_TRANSLATE_NOOP("ForUpDownIntEdit", "january"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "february"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "march"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "april"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "may"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "june"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "july"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "august"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "september"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "october"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "november"),
                    QT_TRANSLATE_NOOP("ForUpDownIntEdit", "december")]
                onValueChanged: {
                    if (!dateTimeEdit.settingValue)
                        dateTimeEdit.updateDayBound()
                    dateTimeEdit.rebuild()
                }
                onKeyPressed: event => dateTimeEdit.fieldKey(monthEdit, event)
            }
        }
        Column {
            visible: dateTimeEdit.useDate
            Text {
                text: qsTranslate("DateTimeEdit", "year")
                width: yearEdit.width
                height: 17
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#EEEEEE"
            }
            UpDownIntEdit {
                id: yearEdit
                objectName: "yearEdit"
                width: 85 * dateTimeEdit.widthCoeff
                height: dateTimeEdit.height - 17
                minValue: dateTimeEdit.minYear
                maxValue: dateTimeEdit.maxYear
                value: 1970
                digits: 4
                needInputLength: 4
                onValueChanged: {
                    if (!dateTimeEdit.settingValue)
                        dateTimeEdit.updateDayBound()
                    dateTimeEdit.rebuild()
                }
                onManuallyFilled: dateTimeEdit.moveFocus(yearEdit, 1)
                onKeyPressed: event => dateTimeEdit.fieldKey(yearEdit, event)
            }
        }
        Item {
            width: 20 - row.spacing
            height: 1
            visible: dateTimeEdit.useDate && dateTimeEdit.useTime
        }
        Column {
            visible: dateTimeEdit.useTime
            Text {
                text: qsTranslate("DateTimeEdit", "h")
                width: hourEdit.width
                height: 17
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#EEEEEE"
            }
            UpDownIntEdit {
                id: hourEdit
                objectName: "hourEdit"
                width: 47 * dateTimeEdit.widthCoeff
                height: dateTimeEdit.height - 17
                minValue: 0
                maxValue: 23
                digits: 2
                needInputLength: 2
                focus: !dateTimeEdit.useDate
                onValueChanged: dateTimeEdit.rebuild()
                onManuallyFilled: dateTimeEdit.moveFocus(hourEdit, 1)
                onKeyPressed: event => dateTimeEdit.fieldKey(hourEdit, event)
            }
        }
        Column {
            visible: dateTimeEdit.useTime
            Text {
                text: qsTranslate("DateTimeEdit", "m")
                width: minuteEdit.width
                height: 17
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#EEEEEE"
            }
            UpDownIntEdit {
                id: minuteEdit
                objectName: "minuteEdit"
                width: 47 * dateTimeEdit.widthCoeff
                height: dateTimeEdit.height - 17
                minValue: 0
                maxValue: 59
                digits: 2
                needInputLength: 2
                onValueChanged: dateTimeEdit.rebuild()
                onManuallyFilled: dateTimeEdit.moveFocus(minuteEdit, 1)
                onKeyPressed: event => dateTimeEdit.fieldKey(minuteEdit, event)
            }
        }
        Column {
            visible: dateTimeEdit.useTime
            Text {
                text: qsTranslate("DateTimeEdit", "s")
                width: secondEdit.width
                height: 17
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#EEEEEE"
            }
            UpDownIntEdit {
                id: secondEdit
                objectName: "secondEdit"
                width: 47 * dateTimeEdit.widthCoeff
                height: dateTimeEdit.height - 17
                minValue: 0
                maxValue: 59
                digits: 2
                needInputLength: 2
                onValueChanged: dateTimeEdit.rebuild()
                onManuallyFilled: dateTimeEdit.moveFocus(secondEdit, 1)
                onKeyPressed: event => dateTimeEdit.fieldKey(secondEdit, event)
            }
        }
        Button {
            id: currentTimeButton
            objectName: "currentTimeButton"
            anchors.verticalCenter: parent.verticalCenter
            autoExpand: false
            width: 47 * dateTimeEdit.widthCoeff
            height: width
            visible: dateTimeEdit.showCurrentTimeButton
            image: Qt.resolvedUrl("../images/buttons/clocks.png")
            imageItem.width: width - 8
            imageItem.height: height - 8
            imageItem.fillMode: Image.PreserveAspectFit
            onClicked: dateTimeEdit.setValue(deviceModbus.timeRo.value)
        }
    }

    function fieldKey(field, event) {
        if (event.key === Qt.Key_Tab || event.key === Qt.Key_Right) {
            event.accepted = dateTimeEdit.moveFocus(field, 1) || event.key === Qt.Key_Tab
        } else if (event.key === Qt.Key_Left) {
            event.accepted = dateTimeEdit.moveFocus(field, -1)
        }
    }
}
