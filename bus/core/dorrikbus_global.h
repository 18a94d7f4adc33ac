#ifndef DORRIKBUS_GLOBAL_H
#define DORRIKBUS_GLOBAL_H

#include <QtCore/qglobal.h>

#if defined(DORRIKBUS_LIBRARY)
#define DORRIKBUS_EXPORT Q_DECL_EXPORT
#else
#define DORRIKBUS_EXPORT Q_DECL_IMPORT
#endif

#endif
