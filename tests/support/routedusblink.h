#ifndef ROUTEDUSBLINK_H
#define ROUTEDUSBLINK_H

#include "modbuslibusbclient.h"

#include <QByteArray>
#include <QList>
#include <QPair>

class SimulatedInstrument;

// A USB link on a scripted bus of its own that holds the devices of one shared table, each
// answered by its simulated instrument (or by none: a device that never answers, whose reads take
// their whole time-out as on the cable). Made by QML too (register it as a type), so a screen's
// own links reach the instruments. The table and the list of living links are the GUI thread's.
class RoutedUsbLink : public ModbusLibusbClient
{
    Q_OBJECT

public:
    using Devices = QList<QPair<QByteArray, SimulatedInstrument *>>;

    explicit RoutedUsbLink(QObject *parent = nullptr);
    ~RoutedUsbLink() override;

    // The devices of the links made afterwards: USB serial number and instrument (null: silent).
    static void setDevices(const Devices &devices);
    // Every link of this kind that still exists, in the order they were made.
    static QList<RoutedUsbLink *> links();
};

#endif
