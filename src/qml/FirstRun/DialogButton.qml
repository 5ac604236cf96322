import QtQuick 2.15
import QtQuick.Controls 2.15

// One of the agreement window's two buttons: a pale rounded field with a centred label.
Button {
    id: control

    property color fieldColor: "#EBF1FF"
    property color labelColor: "#383838"
    property string fontFamily

    width: 98
    height: 38
    padding: 0
    Accessible.name: text
    Accessible.role: Accessible.Button

    contentItem: Text {
        text: control.text
        font.family: control.fontFamily
        font.pixelSize: 14
        color: control.labelColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        color: control.fieldColor
        radius: 12
    }
}
