import QtQuick

// One value between the instrument (or the menu) and the screens: its caption, type, display text
// and check. The typed properties fill these in.
QtObject {
    id: baseProperty

    property string caption: ""
    property string shortCaption: caption
    property string propType: ""

    function toggle() {
        console.log("this property unsupports 'toggle' - method")
    }
    function validate(val) {
        console.log("you should reimplement this function")
    }
    function getFormatted(arg) {
        console.log("you should reimplement this function")
    }
    function edit(sourceItem, properties) {
        return editorsManager.editProperty(baseProperty, sourceItem, properties)
    }
}
