#ifndef ITEMPOINTER_H
#define ITEMPOINTER_H

#include "modbusitembase.h"

#include <QList>
#include <QPointer>

// A task's hold on its register item: it reads as null once the item is destroyed, so a task that
// outlives its item (queued, running, or waiting as a result) never reaches a dangling object.
// Copies share the tracking record. Readable from any thread; the item itself is used only in the
// GUI thread.
using ItemPointer = QPointer<ModbusItemBase>;

#endif
