// A document without the UI's client.
import QtQuick

Item {}
