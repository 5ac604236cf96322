import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"

// A rounded button with an icon and a label, used for the answer modes and "New chat".
// `active` paints it in the accent colour (a chosen mode, or a button being pressed).
AbstractButton {
    id: control

    property bool active: checked
    property string iconSource
    property string activeIconSource: iconSource

    implicitHeight: 32
    implicitWidth: 18 + 20 + label.implicitWidth
    height: 32
    leftPadding: 8
    rightPadding: 8
    // Tab reaches it; a click leaves the focus where it was (the input keeps it).
    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    Accessible.role: checkable ? Accessible.CheckBox : Accessible.Button

    background: Rectangle {
        radius: height / 2
        color: control.active ? theme.item.themeZeroColor
            : control.hovered ? theme.item.themeOneColor6
            : theme.item.colorW2
        Behavior on color { ColorAnimation { duration: 120 } }
    }

    contentItem: Row {
        spacing: 2
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 20
            height: 20
            sourceSize: Qt.size(20, 20)
            source: theme.item.icon(control.active ? control.activeIconSource : control.iconSource)
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            textFormat: Text.PlainText
            font.family: fontManager.item.oppoSansM.name
            font.pixelSize: 13
            color: control.active ? theme.item.colorW1 : theme.item.colorB1
        }
    }

    FocusRing { ringRadius: height / 2 + 2 }
}
