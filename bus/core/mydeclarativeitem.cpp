#include "mydeclarativeitem.h"

MyDeclarativeItem::MyDeclarativeItem(QObject *parent) : QObject(parent) {}
