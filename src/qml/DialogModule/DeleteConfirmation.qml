import QtQuick 2.15
import QtQuick.Controls 2.15

// Asks before a conversation is deleted for good. Centred in the window; open it with the
// conversation's row and title. Uses `theme` and `fontManager` of the enclosing view.
Popup {
    id: popup

    property int row: -1
    property string title

    signal confirmed(int row)

    function ask(conversationRow, conversationTitle) {
        row = conversationRow
        title = conversationTitle
        open()
    }

    parent: Overlay.overlay
    x: Math.round((parent.width - width) / 2)
    y: Math.round((parent.height - height) / 2)
    width: 300
    padding: 20
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    background: Rectangle {
        radius: 16
        color: theme.item.colorW1
        border.color: theme.item.colorW3
        border.width: 1
    }

    contentItem: Column {
        objectName: "deleteConfirmation"
        spacing: 8
        Accessible.role: Accessible.Dialog
        Accessible.name: question.text

        Text {
            id: question
            width: parent.width
            text: qsTr("Delete “%1”?").arg(popup.title)
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            maximumLineCount: 3
            elide: Text.ElideRight
            font.family: fontManager.item.oppoSansM.name
            font.pixelSize: 14
            color: theme.item.colorB1
        }

        Text {
            width: parent.width
            text: qsTr("The conversation and its file are removed for good.")
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.family: fontManager.item.oppoSansM.name
            font.pixelSize: 12
            color: theme.item.colorW6
        }

        Item {
            width: parent.width
            height: 8
        }

        Row {
            anchors.right: parent.right
            spacing: 8

            TextButton {
                objectName: "cancelDelete"
                text: qsTr("Cancel")
                onClicked: popup.close()
            }

            TextButton {
                objectName: "confirmDelete"
                accent: true
                text: qsTr("Delete")
                onClicked: {
                    popup.close()
                    popup.confirmed(popup.row)
                }
            }
        }
    }
}
