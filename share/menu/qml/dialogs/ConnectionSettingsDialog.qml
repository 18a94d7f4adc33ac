import QtQuick
import DorrikBus 1.0
import Menu 1.0
import "../components"
import "../widgets"

// How the program reaches the instrument: an RS-485 line with its port and timing, or one of the
// USB instruments plugged in, each shown with its own serial number. Ports and devices are listed
// again every second while the dialog is shown.
BaseFrameDialog {
    id: dialog

    objectName: "connectionSettingsDialog"

    // The instrument's serial-number register (its address is read from each device) and the
    // device report (carried, not shown).
    property var serialNumberItem: null
    property var reportItem: null
    // Makes the link a listed device is read through; given vid, pid and serialNumber, and
    // connected: true. Tests hand in one that reaches a simulated instrument.
    property Component usbLinkComponent: Component {
        ModbusLibusbClient {}
    }
    property int refreshInterval: 1000

    readonly property bool rs485: menuContext.connectionType === MenuContext.RS485
    readonly property bool usb: menuContext.connectionType === MenuContext.USB
    readonly property alias okButton: okButton
    readonly property alias devicesView: devicesView
    readonly property int serialNumberAddress: serialNumberItem ? serialNumberItem.address
                                                                : 400015

    caption: qsTr("Connection settings")

    // The focusable rows from top to bottom, hidden ones skipped.
    function visibleRows() {
        var rows = []
        for (var i = 0; i < rowsColumn.children.length; ++i) {
            var row = rowsColumn.children[i]
            if (row.visible && row.clickable === true)
                rows.push(row)
        }
        return rows
    }
    function moveFocus(from, step) {
        var rows = visibleRows()
        var index = rows.indexOf(from) + step
        if (index >= 0 && index < rows.length) {
            rows[index].forceActiveFocus()
            rowsFlick.showItem(rows[index])
        } else if (index >= rows.length) {
            if (dialog.usb && devicesView.count > 0)
                devicesView.forceActiveFocus()
            else
                okButton.forceActiveFocus()
        }
    }
    function focusLastRow() {
        var rows = visibleRows()
        if (rows.length > 0) {
            rows[rows.length - 1].forceActiveFocus()
            rowsFlick.showItem(rows[rows.length - 1])
        }
    }

    Timer {
        id: refreshTimer
        objectName: "connectionRefreshTimer"
        interval: dialog.refreshInterval
        repeat: true
        running: dialog.visible
        onTriggered: {
            menuContext.fillSerialPorts()
            menuContext.fillUsbDevices()
        }
    }

    // The rows at the top, the devices below them, "Ok" at the bottom.
    Item {
        id: body
        parent: dialog.contentColumn
        width: parent.width
        // Within the frame's border.
        height: dialog.height - dialog.captionItem.height - 8

        Flickable {
            id: rowsFlick
            anchors.top: parent.top
            anchors.bottom: usbArea.top
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: styleManager.style.dialogMargin
            anchors.rightMargin: styleManager.style.dialogMargin
            contentHeight: rowsColumn.height
            clip: true
            flickableDirection: Flickable.VerticalFlick
            boundsBehavior: Flickable.StopAtBounds

            function showItem(item) {
                var top = item.mapToItem(rowsColumn, 0, 0).y
                if (top < contentY)
                    contentY = top
                else if (top + item.height > contentY + height)
                    contentY = Math.min(top + item.height - height,
                                        Math.max(0, contentHeight - height))
            }

            Column {
                id: rowsColumn
                width: rowsFlick.width

                MenuRowItem {
                    id: connectionTypeRow
                    objectName: "connectionTypeRow"
                    width: parent.width
                    prop: menuProps.connectionType
                    focus: true
                    Keys.onDownPressed: dialog.moveFocus(connectionTypeRow, 1)
                    Keys.onUpPressed: dialog.moveFocus(connectionTypeRow, -1)
                }
                MenuRowItem {
                    id: connectionStateRow
                    objectName: "connectionStateRow"
                    width: parent.width
                    prop: menuProps.connectionState
                    Keys.onDownPressed: dialog.moveFocus(connectionStateRow, 1)
                    Keys.onUpPressed: dialog.moveFocus(connectionStateRow, -1)
                }
                Repeater {
                    model: [menuProps.deviceSerialPort, menuProps.deviceBaudRate,
                        menuProps.deviceAddress, menuProps.readTimeout, menuProps.byteTimeout,
                        menuProps.rtsDelay, menuProps.controlRts]
                    MenuRowItem {
                        id: rs485Row
                        required property var modelData
                        objectName: "rs485Row"
                        width: rowsColumn.width
                        prop: modelData
                        hidden: !dialog.rs485
                        togglable: modelData === menuProps.controlRts
                        Keys.onDownPressed: dialog.moveFocus(rs485Row, 1)
                        Keys.onUpPressed: dialog.moveFocus(rs485Row, -1)
                    }
                }
            }
        }

            // Where the rows stand in their list, when they do not all fit.
        VerticalScrollIndicator {
            anchors.top: rowsFlick.top
            anchors.bottom: rowsFlick.bottom
            anchors.left: rowsFlick.right
            anchors.leftMargin: 1 * starter.mm
            width: 2 * starter.mm
            visible: rowsFlick.contentHeight > rowsFlick.height
            percents: visible ? 100 * rowsFlick.contentY
                                / (rowsFlick.contentHeight - rowsFlick.height) : 0
        }

    Item {
            id: usbArea
            objectName: "usbArea"
            anchors.bottom: buttonsItem.top
            width: parent.width
            height: dialog.usb ? 140 : 0
            visible: dialog.usb
            enabled: visible

            Text {
                id: devicesHeader
                anchors.left: parent.left
                anchors.top: parent.top
                anchors.leftMargin: styleManager.style.dialogMargin
                text: qsTr("Available devices: ")
                font.family: styleManager.style.mediumFontFamily
                font.pixelSize: styleManager.style.mediumFontSize
                color: styleManager.style.menuItemCaptionFontColor
            }

            ListView {
                id: devicesView
                objectName: "usbDevicesView"
                anchors.top: devicesHeader.bottom
                anchors.topMargin: 4
                anchors.bottom: parent.bottom
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.leftMargin: styleManager.style.dialogMargin
                anchors.rightMargin: styleManager.style.dialogMargin
                orientation: ListView.Horizontal
                spacing: 2 * starter.mm
                clip: true
                keyNavigationEnabled: false
                model: dialog.usb ? menuContext.usbDevicesModel : null

                Keys.onLeftPressed: decrementCurrentIndex()
                Keys.onRightPressed: incrementCurrentIndex()
                Keys.onUpPressed: dialog.focusLastRow()
                Keys.onDownPressed: okButton.forceActiveFocus()
                Keys.onReturnPressed: if (currentItem) currentItem.choose()
                Keys.onEnterPressed: if (currentItem) currentItem.choose()
                Keys.onSpacePressed: if (currentItem) currentItem.choose()

                delegate: UsbDeviceButton {
                    height: devicesView.height - 4
                    owner: dialog
                    focused: devicesView.activeFocus && ListView.isCurrentItem
                }
            }
        }

        Item {
            id: buttonsItem
            anchors.bottom: parent.bottom
            width: parent.width
            height: okButton.height + styleManager.style.dialogMargin

            Button {
                id: okButton
                objectName: "connectionOkButton"
                anchors.centerIn: parent
                caption: qsTr("Ok")
                onClicked: dialog.close()
                Keys.onUpPressed: event => {
                    if (dialog.usb && devicesView.count > 0)
                        devicesView.forceActiveFocus()
                    else
                        dialog.focusLastRow()
                }
            }
        }
    }

    // One listed USB device: its instrument's serial number, read once through a link of its
    // own (or through the program's link when it is the chosen device), and the click that
    // chooses it.
    component UsbDeviceButton: Item {
        id: deviceButton

        required property string serialNumber
        // The dialog (an inline component does not see its ids).
        property var owner: null
        property bool focused: false
        readonly property bool chosen: serialNumber !== ""
                                       && serialNumber === menuContext.usbSerialNumber
        property string instrumentNumber: ""
        property var privateClient: null
        property var privateLink: null
        property bool linkClosed: false
        // A read asked of the program's link before it was connected.
        property bool pendingRead: false
        readonly property alias serialItem: serialItem
        readonly property alias button: button

        objectName: "usbDeviceButton"
        width: button.width

        function openLink() {
            if (chosen || privateLink || linkClosed)
                return
            // Owned outside the dialog, so that it can outlive it (see retireLink).
            privateClient = Qt.createQmlObject("import DorrikBus 1.0; ModbusClient {}",
                                               screenManager)
            privateLink = owner.usbLinkComponent.createObject(privateClient, {
                                                                    "vid": menuContext.usbVid,
                                                                    "pid": menuContext.usbPid,
                                                                    "serialNumber": serialNumber,
                                                                    "connected": true
                                                                })
            privateClient.transport = privateLink
        }
        // A device that does not answer (or failed) must not keep its USB link open.
        function closeLink() {
            if (!privateLink || linkClosed)
                return
            linkClosed = true
            lifeTimer.stop()
            privateLink.disconnectTransport()
        }
        function readThroughProgram() {
            if (deviceModbus.connected) {
                pendingRead = false
                serialItem.read()
            } else {
                pendingRead = true
            }
        }
        function choose() {
            if (!chosen) {
                // The program's link opens this device next: the private handle goes first.
                closeLink()
                // Stored, so that the next start opens this device and not whichever comes
                // first on the bus; the link moves to it now.
                menuContext.setUsbDevice(serialNumber)
                menuContext.usbSerialNumber = serialNumber
            }
            readThroughProgram()
        }

        Component.onCompleted: {
            if (chosen)
                readThroughProgram()
            else
                openLink()
        }
        // Chosen from elsewhere (the program's link opened this device): no second handle, and
        // a read the closed handle left unfinished comes through the program's link.
        onChosenChanged: {
            if (!chosen)
                return
            closeLink()
            // Later: the serial-number item follows `chosen` to the program's client first.
            if (instrumentNumber === "")
                Qt.callLater(readThroughProgram)
        }

        // The client goes with the button. While its link is open an exchange may still wait
        // for a device that does not answer, and destroying the client would wait for it in the
        // GUI thread: it goes once the longest exchange is over.
        function retireLink() {
            var client = privateClient
            if (!client)
                return
            privateClient = null
            if (linkClosed || !privateLink || !privateLink.connected) {
                client.destroy()
                return
            }
            // A delayed destruction needs nothing of the dialog, which is going.
            client.destroy(privateLink.readTimeout + privateLink.writeTimeout + 100)
        }

        Component.onDestruction: retireLink()

        ModbusUInt32 {
            id: serialItem
            address: deviceButton.owner ? deviceButton.owner.serialNumberAddress : 400015
            client: deviceButton.chosen ? deviceModbus : deviceButton.privateClient
            onAfterRead: {
                deviceButton.instrumentNumber = formatValue
                deviceButton.closeLink()
            }
            onError: Qt.callLater(deviceButton.closeLink)
        }

        Timer {
            id: lifeTimer
            interval: deviceButton.privateLink ? 2 * deviceButton.privateLink.readTimeout : 0
            onTriggered: deviceButton.closeLink()
        }

        Connections {
            target: deviceButton.privateLink
            function onTransportConnected() {
                if (deviceButton.linkClosed)
                    return
                lifeTimer.restart()
                serialItem.read()
            }
            // Later: a failed open reports its error before it schedules its next attempt, which
            // the closing must cancel.
            function onError(text) {
                Qt.callLater(deviceButton.closeLink)
            }
        }
        Connections {
            target: deviceButton.privateClient
            function onError(text) {
                Qt.callLater(deviceButton.closeLink)
            }
        }
        Connections {
            target: deviceButton.pendingRead ? deviceModbus : null
            function onConnectedChanged() {
                if (deviceModbus.connected)
                    deviceButton.readThroughProgram()
            }
        }

        Button {
            id: button
            objectName: "usbDeviceButtonFace"
            height: parent.height
            autoExpand: true
            caption: "Tavrin" + "\n" + deviceButton.instrumentNumber
            checked: deviceButton.chosen
            onClicked: deviceButton.choose()
            Component.onCompleted: captionItem.horizontalAlignment = Text.AlignHCenter
        }
        FocusRect {
            anchors.fill: button
            radius: button.radius
            filled: false
            active: deviceButton.focused
        }
    }
}
