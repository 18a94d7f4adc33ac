#include "modbusexportengine.h"

#include "modbusitembase.h"

ModbusExportEngine::ModbusExportEngine(QObject *parent) : ErrObject(parent) {}
