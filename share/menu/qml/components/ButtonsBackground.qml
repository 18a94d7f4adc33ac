import QtQuick

// A button's face: the checked colour, the border and the pressed colour from the style.
Rectangle {
    property bool checked: false
    property bool pressed: false

    radius: styleManager.style.baseButtonRadius
    color: pressed ? styleManager.style.baseButtonFontColor_pressed
                   : checked ? styleManager.style.focusedColor : styleManager.style.baseButtonBackColor
    border.width: styleManager.style.menuItemBorderWidth
    border.color: checked ? styleManager.style.menuItemBorderCheckedColor
                          : styleManager.style.menuItemBorderColor
}
