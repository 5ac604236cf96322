import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"

// A rounded button with a label only; `accent` paints it in the accent colour (the action a
// question asks for).
AbstractButton {
    id: control

    property bool accent: false

    implicitWidth: Math.max(72, label.implicitWidth + 28)
    implicitHeight: 30
    padding: 0
    // Tab reaches it; a click leaves the focus where it was.
    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    Accessible.role: Accessible.Button
    Accessible.name: text

    background: Rectangle {
        radius: height / 2
        color: control.accent
            ? (control.hovered || control.pressed ? theme.item.themeOneColor1
                                                  : theme.item.themeZeroColor)
            : (control.pressed ? theme.item.themeOneColor5
                               : control.hovered ? theme.item.themeOneColor6 : theme.item.colorW2)
    }

    contentItem: Text {
        id: label
        text: control.text
        textFormat: Text.PlainText
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.family: fontManager.item.oppoSansM.name
        font.pixelSize: 13
        color: control.accent ? theme.item.colorW1 : theme.item.colorB1
    }

    FocusRing { ringRadius: height / 2 + 2 }
}
