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
    // Every shown field's text is its value: a refused text (a day of 35) is no date at all.
    readonly property bool valid: firstInvalidField() === null
    property alias dayEdit: dayEdit
    property alias monthEdit: monthEdit
    property alias yearEdit: yearEdit
    property alias hourEdit: hourEdit
    property alias minuteEdit: minuteEdit
    property alias secondEdit: secondEdit
    property alias currentTimeButton: currentTimeButton

    property bool settingValue: false

    // Left or Right on the first or the last shown field: the user of the group may take it
    // (accept the event) to leave the fields.
    signal edgeReached(var event)

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
    function fieldChanged(field) {
        // The month and the year bound the day.
        if (!settingValue && (field === monthEdit || field === yearEdit))
            updateDayBound()
        rebuild()
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
        // The field with the focus shows its new value selected, so that typing replaces it.
        for (var i = 0; i < fields.length; ++i) {
            if (fields[i].input.activeFocus)
                fields[i].input.selectAll()
        }
    }
    function firstInvalidField() {
        for (var i = 0; i < fields.length; ++i) {
            if (fields[i].shown && !fields[i].valid)
                return fields[i]
        }
        return null
    }
    // The next or previous shown field, for typing, Tab, Left and Right.
    function moveFocus(from, step) {
        var index = fields.indexOf(from)
        for (var i = index + step; i >= 0 && i < fields.length; i += step) {
            if (fields[i].shown) {
                fields[i].forceActiveFocus()
                return true
            }
        }
        return false
    }
    function fieldKey(field, event) {
        if (event.key === Qt.Key_Tab) {
            moveFocus(field, 1)
            event.accepted = true
        } else if (event.key === Qt.Key_Right || event.key === Qt.Key_Left) {
            if (moveFocus(field, event.key === Qt.Key_Right ? 1 : -1))
                event.accepted = true
            else
                edgeReached(event)
        }
    }

    // One column: a header above a spin field of `baseWidth` px (times the group's widthCoeff).
    component Field: UpDownIntEdit {
        id: field

        property Item group: null
        property string header: ""
        property real baseWidth: 47
        property bool shown: true

        readonly property real headerHeight: 17

        visible: shown
        y: headerHeight
        width: baseWidth * (group ? group.widthCoeff : 1)
        height: (group ? group.height : 160) - headerHeight
        onValueChanged: {
            if (group)
                group.fieldChanged(field)
        }
        onManuallyFilled: {
            if (group)
                group.moveFocus(field, 1)
        }
        onKeyPressed: event => {
                          if (group)
                              group.fieldKey(field, event)
                      }

        Text {
            y: -field.headerHeight
            width: field.width
            height: field.headerHeight
            text: field.header
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: "#EEEEEE"
        }
    }

    height: 160
    width: row.width

    Row {
        id: row
        height: parent.height
        spacing: 14

        Field {
            id: dayEdit
            objectName: "dayEdit"
            group: dateTimeEdit
            header: qsTranslate("DayOhMonth", "date")
            shown: dateTimeEdit.useDate
            minValue: 1
            maxValue: 31
            value: 1
            digits: 2
            needInputLength: 2
            focus: dateTimeEdit.useDate
        }
        Field {
            id: monthEdit
            objectName: "monthEdit"
            group: dateTimeEdit
            header: qsTranslate("DateTimeEdit", "month")
            shown: dateTimeEdit.useDate
            baseWidth: 165
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
        }
        Field {
            id: yearEdit
            objectName: "yearEdit"
            group: dateTimeEdit
            header: qsTranslate("DateTimeEdit", "year")
            shown: dateTimeEdit.useDate
            baseWidth: 85
            minValue: dateTimeEdit.minYear
            maxValue: dateTimeEdit.maxYear
            value: 1970
            digits: 4
            needInputLength: 4
        }
        Item {
            width: 20 - row.spacing
            height: 1
            visible: dateTimeEdit.useDate && dateTimeEdit.useTime
        }
        Field {
            id: hourEdit
            objectName: "hourEdit"
            group: dateTimeEdit
            header: qsTranslate("DateTimeEdit", "h")
            shown: dateTimeEdit.useTime
            minValue: 0
            maxValue: 23
            digits: 2
            needInputLength: 2
            focus: !dateTimeEdit.useDate
        }
        Field {
            id: minuteEdit
            objectName: "minuteEdit"
            group: dateTimeEdit
            header: qsTranslate("DateTimeEdit", "m")
            shown: dateTimeEdit.useTime
            minValue: 0
            maxValue: 59
            digits: 2
            needInputLength: 2
        }
        Field {
            id: secondEdit
            objectName: "secondEdit"
            group: dateTimeEdit
            header: qsTranslate("DateTimeEdit", "s")
            shown: dateTimeEdit.useTime
            minValue: 0
            maxValue: 59
            digits: 2
            needInputLength: 2
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
}
