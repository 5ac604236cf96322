import QtQuick 2.15

// A button where the chat panel's top row has its buttons (inside the drag zone).
Item {
    property int clicks: 0
    property int cancels: 0

    MouseArea {
        objectName: "topRowButton"
        x: 70
        y: 10
        width: 20
        height: 20
        onClicked: parent.clicks++
        onCanceled: parent.cancels++
    }
}
