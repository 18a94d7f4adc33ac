// Stand-in for the measurement page: an empty focus scope.
import QtQuick

FocusScope {}
