import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"

// The stored conversations. A click opens one; a double click on a title renames it in place.
// Titles are shown as plain text: a stored title is data, never markup. Uses `theme` and
// `fontManager` of the enclosing view.
Item {
    id: history

    // An answer is on its way: the conversation must not change under it.
    function busy() {
        return dialog_manager.dialogModel.rowCount() !== 0 && !dialog_manager.responseGenerated
    }

    function open(row) {
        if (busy())
            return
        dialog_manager.currentIndex = row
        dialog_manager.dialogModel.clearAll()
        dialog_manager.parseJSONToCurrentChat()
    }

    Image {
        id: headerIcon
        x: 16
        y: 16
        width: 20
        height: 20
        sourceSize: Qt.size(20, 20)
        source: "qrc:/Image/Icon/chatHistory.svg"
    }

    Text {
        anchors.left: headerIcon.right
        anchors.leftMargin: 6
        anchors.verticalCenter: headerIcon.verticalCenter
        text: qsTr("History")
        textFormat: Text.PlainText
        font.family: fontManager.item.oppoSansM.name
        font.pixelSize: 14
        color: theme.item.colorB1
    }

    ListView {
        id: list
        objectName: "historyList"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 46
        width: 118
        height: 492
        spacing: 4
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: dialog_manager.dialogInfoModel
        currentIndex: dialog_manager.currentIndex
        highlightFollowsCurrentItem: false
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Conversations")
        ScrollBar.vertical: ScrollHandle {}

        delegate: Item {
            id: entry

            readonly property bool current: index === dialog_manager.currentIndex
            property bool editing: false

            function startRename() {
                editor.text = model.title
                editing = true
                editor.forceActiveFocus()
                editor.selectAll()
            }

            function finishRename() {
                if (!editing)
                    return
                editing = false
                if (editor.text.length > 0 && editor.text !== model.title)
                    dialog_manager.modifyTitleAtIndex(editor.text, index)
            }

            x: (list.width - width) / 2 - 4
            width: 102
            height: 30

            AbstractButton {
                id: choose
                objectName: "historyEntry"
                anchors.fill: parent
                hoverEnabled: true
                // Tab reaches it; a click leaves the focus where it was.
                focusPolicy: Qt.TabFocus
                Accessible.role: Accessible.ListItem
                Accessible.name: model.title
                background: Rectangle {
                    radius: 8
                    color: entry.current ? theme.item.themeOneColor5
                        : choose.hovered ? theme.item.themeOneColor6
                        : "transparent"
                }
                contentItem: Item {}
                onClicked: history.open(index)
                onDoubleClicked: entry.startRename()

                FocusRing {}
            }

            Text {
                id: title
                objectName: "historyTitle"
                visible: !entry.editing
                anchors.centerIn: parent
                width: 94
                text: model.title
                textFormat: Text.PlainText
                elide: Text.ElideRight
                maximumLineCount: 1
                wrapMode: Text.NoWrap
                font.family: fontManager.item.oppoSansM.name
                font.pixelSize: 14
                color: entry.current ? theme.item.colorB1 : theme.item.colorW5
            }

            TextField {
                id: editor
                objectName: "historyTitleEditor"
                visible: entry.editing
                anchors.centerIn: parent
                width: 94
                height: 22
                padding: 0
                leftPadding: 2
                horizontalAlignment: TextInput.AlignLeft
                verticalAlignment: TextInput.AlignVCenter
                selectByMouse: true
                font.family: fontManager.item.oppoSansM.name
                font.pixelSize: 14
                color: theme.item.colorB1
                selectionColor: "#3367D1"
                selectedTextColor: "white"
                Accessible.name: qsTr("Conversation title")
                background: Rectangle {
                    radius: 4
                    color: "transparent"
                    border.color: theme.item.themeOneColor4
                    border.width: 1
                }
                onEditingFinished: entry.finishRename()
                onActiveFocusChanged: {
                    if (!activeFocus)
                        entry.finishRename()
                }
                Keys.onEscapePressed: {
                    entry.editing = false
                    event.accepted = true
                }
            }
        }
    }
}
