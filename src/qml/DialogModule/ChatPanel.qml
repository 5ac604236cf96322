import QtQuick 2.15
import QtQuick.Controls 2.15

// The chat panel above the input line: a top bar (history, fold, keep on top), the messages of
// the conversation, and the toolbar under them. The panel's frame and the lines between its
// parts are drawn here; what the buttons open and close is the window's business, told by
// signals.
Rectangle {
    id: panel

    property bool historyOpen: false

    signal historyToggled()
    signal foldRequested()
    signal newChatRequested()

    radius: 20
    color: theme.item.colorW1
    border.color: theme.item.colorW3
    border.width: 1

    Row {
        id: topRow
        x: 20
        y: 10
        spacing: 215

        IconButton {
            id: historyButton
            objectName: "historyButton"
            checkable: true
            checked: panel.historyOpen
            normalSource: "qrc:/Image/Icon/history_normal.svg"
            hoveredSource: "qrc:/Image/Icon/history_hovered.svg"
            pressedSource: "qrc:/Image/Icon/history_pressed.svg"
            checkedSource: "qrc:/Image/Icon/history_pressed.svg"
            Accessible.name: qsTr("History")
            onClicked: {
                panel.historyToggled()
                checked = Qt.binding(function() { return panel.historyOpen })
            }
        }

        IconButton {
            id: foldButton
            objectName: "foldButton"
            normalSource: "qrc:/Image/Icon/dropDown_normal.svg"
            Accessible.name: qsTr("Fold the chat")
            onClicked: panel.foldRequested()
        }

        IconButton {
            id: pinButton
            objectName: "pinButton"
            checkable: true
            checked: window.topScreen
            normalSource: "qrc:/Image/Icon/topScreen_normal.svg"
            hoveredSource: "qrc:/Image/Icon/topScreen_hover.svg"
            pressedSource: "qrc:/Image/Icon/topScreed_pressed.svg"
            checkedSource: "qrc:/Image/Icon/topScreen_checked.svg"
            checkedHoveredSource: "qrc:/Image/Icon/topScreen_checked_hover.svg"
            Accessible.name: qsTr("Keep on top")
            onClicked: {
                window.setTopScreen(!window.topScreen)
                checked = Qt.binding(function() { return window.topScreen })
            }
        }
    }

    Rectangle {
        id: topLine
        anchors.horizontalCenter: parent.horizontalCenter
        y: 38
        width: 484
        height: 1
        color: theme.item.colorW3
    }

    Rectangle {
        id: bottomLine
        anchors.horizontalCenter: parent.horizontalCenter
        y: parent.height - 52
        width: 484
        height: 1
        color: theme.item.colorW3
    }

    DialogPanel {
        id: dialogPanel
        anchors.top: topLine.bottom
        anchors.topMargin: 1
        anchors.bottom: bottomLine.top
        anchors.bottomMargin: 1
        anchors.left: parent.left
        anchors.leftMargin: 2
        anchors.right: parent.right
        anchors.rightMargin: 2
    }

    // Centred in the 52 below the lower line, ending where the line ends.
    ChatToolbar {
        id: toolbar
        anchors.left: parent.left
        anchors.leftMargin: 20
        anchors.right: bottomLine.right
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        onNewChatRequested: panel.newChatRequested()
    }
}
