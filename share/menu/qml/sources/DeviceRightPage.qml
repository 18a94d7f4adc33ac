// Stand-in for the archive page: an empty focus scope.
import QtQuick

FocusScope {}
