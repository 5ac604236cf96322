import QtQuick 2.15

// A clickable phrase in the accent colour; the owner opens the page (activated).
Text {
    id: link

    signal activated()

    font.pixelSize: 14
    Accessible.role: Accessible.Link
    Accessible.name: text
    Accessible.onPressAction: link.activated()

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: link.activated()
    }
}
