import QtQuick 2.15
import QtQuick.Controls 2.15

// The row under the conversation: the two answer modes (deep thinking, online search), copy
// and regenerate of the last answer, and a new chat at the right end.
Item {
    id: toolbar

    signal newChatRequested()

    implicitHeight: modeRow.height

    Row {
        id: modeRow
        spacing: 8

        PillButton {
            id: reasonButton
            objectName: "reasonButton"
            checkable: true
            checked: dialog_manager.reasonModeActive
            text: qsTr("Reason(R1)")
            iconSource: "qrc:/Image/Icon/reason_normal.svg"
            activeIconSource: "qrc:/Image/Icon/reason_pressed.svg"
            Accessible.name: text
            onClicked: {
                dialog_manager.reasonModeActive = !dialog_manager.reasonModeActive
                checked = Qt.binding(function() { return dialog_manager.reasonModeActive })
            }
        }

        PillButton {
            id: searchButton
            objectName: "searchButton"
            checkable: true
            checked: dialog_manager.searchModeActive
            text: qsTr("Search")
            iconSource: "qrc:/Image/Icon/search_normal.svg"
            activeIconSource: "qrc:/Image/Icon/search_pressed.svg"
            Accessible.name: text
            onClicked: {
                dialog_manager.searchModeActive = !dialog_manager.searchModeActive
                checked = Qt.binding(function() { return dialog_manager.searchModeActive })
            }
        }

        IconButton {
            id: copyButton
            objectName: "copyButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: dialog_manager.responseGenerated
            normalSource: "qrc:/Image/Icon/copy_normal.svg"
            hoveredSource: "qrc:/Image/Icon/copy_hovered.svg"
            pressedSource: "qrc:/Image/Icon/copy_pressed.svg"
            disabledSource: "qrc:/Image/Icon/copy_disabled.svg"
            Accessible.name: qsTr("Copy the answer")
            onClicked: dialog_manager.copy(dialog_manager.dialogModel.rowCount() - 1)
        }

        IconButton {
            id: regenerateButton
            objectName: "regenerateButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: dialog_manager.responseGenerated
            normalSource: "qrc:/Image/Icon/regenerate_normal.svg"
            hoveredSource: "qrc:/Image/Icon/regenerate_hovered.svg"
            pressedSource: "qrc:/Image/Icon/regenerate_pressed.svg"
            disabledSource: "qrc:/Image/Icon/regenerate_disabled.svg"
            Accessible.name: qsTr("Regenerate the answer")
            onClicked: {
                if (window.allowQuestion)
                    dialog_manager.regenerate()
            }
        }
    }

    PillButton {
        id: newChatButton
        objectName: "newChatButton"
        anchors.right: parent.right
        anchors.verticalCenter: modeRow.verticalCenter
        active: pressed
        text: qsTr("New chat")
        iconSource: hovered ? "qrc:/Image/Icon/newChat_hovered.svg"
                            : "qrc:/Image/Icon/newChat_normal.svg"
        activeIconSource: "qrc:/Image/Icon/newChat_pressed.svg"
        Accessible.name: text
        onClicked: toolbar.newChatRequested()
    }
}
