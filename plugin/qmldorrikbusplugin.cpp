#include "qmldorrikbusplugin.h"

#include "cancelmessageevent.h"
#include "customfieldevent.h"
#include "dorrikbus.h"
#include "eventedtransport.h"
#include "eventer.h"
#include "internalitemmodel.h"
#include "keypad.h"
#include "keypadtavrin.h"
#include "modbusarchlabel.h"
#include "modbusarchreader.h"
#include "modbusarchrecord.h"
#include "modbusarchrecordtavrin.h"
#include "modbusbit.h"
#include "modbusc55client.h"
#include "modbusclient.h"
#include "modbuscustombytes.h"
#include "modbusdatetime.h"
#include "modbusdouble.h"
#include "modbusdoublestruct.h"
#include "modbusfile.h"
#include "modbusfloat.h"
#include "modbusint16.h"
#include "modbusint32.h"
#include "modbusint64.h"
#include "modbusint8.h"
#include "modbusitemaddressedbase.h"
#include "modbusitemarchbase.h"
#include "modbusitemarchlabeledbase.h"
#include "modbusitembase.h"
#include "modbusitemcsvexporter.h"
#include "modbusitemexporter.h"
#include "modbusitemfloatingbase.h"
#include "modbusitemintbase.h"
#include "modbusitemreader.h"
#include "modbuslibusbclient.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbusreport.h"
#include "modbusserialclient.h"
#include "modbusserialserver.h"
#include "modbusstringansi.h"
#include "modbusstringutf8.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"
#include "modbustransport.h"
#include "modbustrendmodel.h"
#include "modbusuint16.h"
#include "modbusuint32.h"
#include "modbusuint64.h"
#include "modbusuint8.h"
#include "modbusxmlexporter.h"
#include "modbusxmlimporter.h"
#include "serialportsmodel.h"
#include "target.h"
#include "tavrinflowratehistoryitem.h"
#include "tavrinheathistoryitem.h"
#include "tavrinpressurehistoryitem.h"
#include "tavsiteitem.h"
#include "tavsitesmodel.h"
#include "transport.h"
#include "trendmodelbase.h"
#include "usbdevicesmodel.h"

#include <QCoreApplication>
#include <QtQml>

QmlDorrikBusPlugin::QmlDorrikBusPlugin(QObject *parent) : QQmlExtensionPlugin(parent) {}

void QmlDorrikBusPlugin::registerTypes(const char *uri)
{
    const QString notCreatable =
        QCoreApplication::translate("QmlDorrikBusPlugin", "Element is not creatable.");
    // Stored translations key on this text as it always was, without the full stop.
    const QString notCreatableExporter =
        QCoreApplication::translate("QmlDorrikBusPlugin", "Element is not creatable");

    // The order is the module's: type ids follow it.
    qmlRegisterUncreatableType<DorrikBus>(uri, 1, 0, "DorrikBus", notCreatable);
    qmlRegisterType<ModbusClient>(uri, 1, 0, "ModbusClient");
    qmlRegisterType<ModbusBit>(uri, 1, 0, "ModbusBit");
    qmlRegisterType<ModbusBit>(uri, 1, 0, "ModbusBool");
    qmlRegisterType<ModbusUInt8>(uri, 1, 0, "ModbusUInt8");
    qmlRegisterType<ModbusUInt8>(uri, 1, 0, "ModbusByte");
    qmlRegisterType<ModbusInt8>(uri, 1, 0, "ModbusInt8");
    qmlRegisterType<ModbusUInt16>(uri, 1, 0, "ModbusUInt16");
    qmlRegisterType<ModbusInt16>(uri, 1, 0, "ModbusInt16");
    qmlRegisterType<ModbusInt32>(uri, 1, 0, "ModbusInt32");
    qmlRegisterType<ModbusUInt32>(uri, 1, 0, "ModbusUInt32");
    qmlRegisterType<ModbusInt64>(uri, 1, 0, "ModbusInt64");
    qmlRegisterType<ModbusUInt64>(uri, 1, 0, "ModbusUInt64");
    qmlRegisterType<ModbusFloat>(uri, 1, 0, "ModbusFloat");
    qmlRegisterType<ModbusDouble>(uri, 1, 0, "ModbusDouble");
    qmlRegisterType<ModbusDoubleStruct>(uri, 1, 0, "ModbusDoubleStruct");
    qmlRegisterType<ModbusDateTime>(uri, 1, 0, "ModbusDateTime");
    qmlRegisterType<ModbusStringAnsi>(uri, 1, 0, "ModbusStringAnsi");
    qmlRegisterType<ModbusStringUtf8>(uri, 1, 0, "ModbusStringUtf8");
    qmlRegisterType<ModbusReport>(uri, 1, 0, "ModbusReport");
    qmlRegisterType<ModbusArchRecord>(uri, 1, 0, "ModbusArchRecord");
    qmlRegisterType<ModbusArchLabel>(uri, 1, 0, "ModbusArchLabel");
    qmlRegisterType<ModbusCustomBytes>(uri, 1, 0, "ModbusCustomBytes");
    qmlRegisterType<ModbusFile>(uri, 1, 0, "ModbusFile");
    qmlRegisterType<TavSiteItem>(uri, 1, 0, "TavSiteItem");
    qmlRegisterUncreatableType<ModbusItemArchLabeledBase>(uri, 1, 0, "ModbusItemArchLabeledBase",
                                                          notCreatable);
    qmlRegisterUncreatableType<ModbusItemArchBase>(uri, 1, 0, "ModbusItemArchBase", notCreatable);
    qmlRegisterUncreatableType<ModbusItemFloatingBase>(uri, 1, 0, "ModbusItemFloatingBase",
                                                       notCreatable);
    qmlRegisterUncreatableType<ModbusItemIntBase>(uri, 1, 0, "ModbusItemIntBase", notCreatable);
    qmlRegisterUncreatableType<ModbusItemBase>(uri, 1, 0, "ModbusItemBase", notCreatable);
    qmlRegisterUncreatableType<ModbusItemAddressedBase>(uri, 1, 0, "ModbusItemAddressedBase",
                                                        notCreatable);
    qmlRegisterUncreatableType<Transport>(uri, 1, 0, "Transport", notCreatable);
    qmlRegisterUncreatableType<EventedTransport>(uri, 1, 0, "EventedTransport", notCreatable);
    qmlRegisterUncreatableType<ModbusTransport>(uri, 1, 0, "ModbusTransport", notCreatable);
    qmlRegisterType<ModbusTcpClient>(uri, 1, 0, "ModbusTcpClient");
    qmlRegisterType<ModbusTcpServer>(uri, 1, 0, "ModbusTcpServer");
    qmlRegisterType<ModbusLibusbClient>(uri, 1, 0, "ModbusLibusbClient");
    qmlRegisterType<ModbusTFtpClient>(uri, 1, 0, "ModbusTFtpClient");
    qmlRegisterType<ModbusTFtpServer>(uri, 1, 0, "ModbusTFtpServer");
    qmlRegisterType<ModbusC55Client>(uri, 1, 0, "ModbusC55Client");
    qmlRegisterType<ModbusLoopbackClient>(uri, 1, 0, "ModbusLoopbackClient");
    qmlRegisterType<ModbusLoopbackServer>(uri, 1, 0, "ModbusLoopbackServer");
    qmlRegisterType<ModbusSerialClient>(uri, 1, 0, "ModbusSerialClient");
    qmlRegisterType<ModbusSerialServer>(uri, 1, 0, "ModbusSerialServer");
    qmlRegisterType<ModbusTrendModel>(uri, 1, 0, "ModbusTrendModel");
    qmlRegisterType<TrendModelBase>(uri, 1, 0, "TrendModelBase");
    qmlRegisterUncreatableType<InternalItemModel>(uri, 1, 0, "InternalItemModel", notCreatable);
    qmlRegisterType<UsbDevicesModel>(uri, 1, 0, "UsbDevicesModel");
    qmlRegisterType<SerialPortsModel>(uri, 1, 0, "SerialPortsModel");
    qmlRegisterUncreatableType<ModbusItemExporter>(uri, 1, 0, "ModbusItemExporter",
                                                   notCreatableExporter);
    qmlRegisterType<ModbusItemCSVExporter>(uri, 1, 0, "ModbusItemCSVExporter");
    qmlRegisterType<CustomFieldEvent>(uri, 1, 0, "CustomFieldEvent");
    qmlRegisterType<ModbusXmlExporter>(uri, 1, 0, "ModbusXmlExporter");
    qmlRegisterType<ModbusXmlImporter>(uri, 1, 0, "ModbusXmlImporter");
    qmlRegisterType<ModbusArchReader>(uri, 1, 0, "ModbusArchReader");
    qmlRegisterType<ModbusItemReader>(uri, 1, 0, "ModbusItemReader");
    qmlRegisterUncreatableType<CancelMessageEvent>(uri, 1, 0, "CancelMessageEvent", notCreatable);
    qmlRegisterUncreatableType<Target>(uri, 1, 0, "Target", notCreatable);
    qmlRegisterType<Eventer>(uri, 1, 0, "Eventer");
    qmlRegisterType<Keypad>(uri, 1, 0, "Keypad");
    qmlRegisterType<KeypadTavrin>(uri, 1, 0, "KeypadTavrin");
    qmlRegisterType<ModbusArchRecordTavrin>(uri, 1, 0, "ModbusArchRecordTavrin");
    qmlRegisterType<TavrinFlowRateHistoryItem>(uri, 1, 0, "TavrinFlowRateHistoryItem");
    qmlRegisterType<TavrinHeatHistoryItem>(uri, 1, 0, "TavrinHeatHistoryItem");
    qmlRegisterType<TavrinPressureHistoryItem>(uri, 1, 0, "TavrinPressureHistoryItem");
    qmlRegisterType<TavSitesModel>(uri, 1, 0, "TavSitesModel");
}
