import QtQuick 2.15
import QtQuick.Controls 2.15

// A round check button drawn from images; the built-in indicator stays hidden. Disabled, it
// shows the `noEnabled` image at `size` whatever its checked state.
RadioButton {
    id: control

    property int size: 14
    property string noEnabled: "qrc:/Image/Icon/rBtn_enabled.svg"

    implicitWidth: 24
    implicitHeight: 24
    width: 24
    height: 24
    padding: 0
    // Tab reaches it; a click leaves the focus where it was (the input keeps it).
    focusPolicy: Qt.TabFocus
    checkable: true
    indicator: Item {}
    contentItem: Item {}
    Accessible.role: Accessible.CheckBox
    Accessible.name: text
    Accessible.checkable: true
    Accessible.checked: checked

    background: Item {
        implicitWidth: 24
        implicitHeight: 24

        Image {
            objectName: "radioImage"
            anchors.centerIn: parent
            width: control.enabled ? 24 : control.size
            height: width
            sourceSize: Qt.size(width * 2, height * 2)
            smooth: true
            source: !control.enabled ? control.noEnabled
                : control.checked ? "qrc:/Image/Icon/rBtn_checked.svg"
                : "qrc:/Image/Icon/rBtn_unchecked_day.svg"
        }
    }

    FocusRing { ringRadius: height / 2 + 2 }
}
