import QtQuick 2.15
import QtQuick.Controls 2.15

// A switch drawn from two images. A change of image fades the new one in from 0.7 to fully
// opaque, so the switch never stays half transparent.
Button {
    id: control

    property string checkedSource: "qrc:/Image/Settings/checkbox_open.svg"
    property string uncheckedSource: "qrc:/Image/Settings/checkbox_close.svg"

    implicitWidth: 40
    implicitHeight: 22
    padding: 0
    // Tab reaches it; a click leaves the focus where it was (the input keeps it).
    focusPolicy: Qt.TabFocus
    checkable: true
    checked: false
    contentItem: Item {}
    Accessible.role: Accessible.CheckBox
    Accessible.name: text
    Accessible.checkable: true
    Accessible.checked: checked

    background: Image {
        id: switchImage
        objectName: "toggleImage"
        source: control.checked ? control.checkedSource : control.uncheckedSource
        sourceSize: Qt.size(control.width * 2, control.height * 2)
        smooth: true
        fillMode: Image.PreserveAspectFit

        onSourceChanged: fade.restart()

        NumberAnimation {
            id: fade
            target: switchImage
            property: "opacity"
            from: 0.7
            to: 1.0
            duration: 200
        }
    }

    FocusRing { ringRadius: height / 2 + 2 }
}
