import QtQuick 2.15
import QtQuick.Controls 2.15

// The copy button of a code block: the copy icon and "Copy", which says "Copied" for a moment
// after a click.
AbstractButton {
    id: control
    objectName: "codeCopyButton"

    property bool copied: false

    height: 24
    padding: 4
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    Accessible.role: Accessible.Button
    Accessible.name: qsTr("Copy code")
    onClicked: {
        copied = true
        copiedTimer.restart()
    }

    contentItem: Row {
        spacing: 4

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16
            sourceSize: Qt.size(16, 16)
            source: theme.item.icon(control.pressed ? "qrc:/Image/Icon/copy_pressed.svg"
                : control.hovered ? "qrc:/Image/Icon/copy_hovered.svg"
                : "qrc:/Image/Icon/copy_normal.svg")
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            color: control.hovered ? theme.item.colorB1 : theme.item.colorW6
            font.family: fontManager.item.oppoSansM.name
            font.pixelSize: 12
            text: control.copied ? qsTr("Copied") : qsTr("Copy")
        }
    }

    background: Rectangle {
        radius: 4
        color: control.hovered ? theme.item.codeInlineColor : "transparent"
    }

    Timer {
        id: copiedTimer
        interval: 1500
        onTriggered: control.copied = false
    }
}
