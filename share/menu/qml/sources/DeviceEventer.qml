// Stand-in for the device events: the eventer on the client's transport, without reactions.
import QtQuick
import DorrikBus 1.0

Eventer {}
