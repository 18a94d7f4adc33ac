#ifndef GLOBALEVENTS_H
#define GLOBALEVENTS_H

#include "dorrikbus_global.h"

#include <QString>

namespace GlobalEvents {

// Fixed underlying type: a record may carry any type byte, and the enum must hold it.
enum EventType : int { KeyboardEvent = 1, SystemEvent = 2 };

// "keyboard event" for 1; every other value, the system event included, has no text of its own.
DORRIKBUS_EXPORT QString EventTypeStr(int type);

} // namespace GlobalEvents

#endif
