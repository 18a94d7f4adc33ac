import QtQuick

ListProperty {
    caption: qsTr("Language")
    model: menuContext.languages
    sourceName: "languageIndex"
}
