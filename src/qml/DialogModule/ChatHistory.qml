import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"

// The stored conversations. A click opens one; a double click on a title renames it in place;
// the entry under the mouse offers export and delete (after a question). The search field
// filters the list as the user types. Titles are shown as plain text: a stored title is data,
// never markup. Uses `theme` and `fontManager` of the enclosing view.
Item {
    id: history

    // Something to tell the user: an action failed.
    signal notice(string text)

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
        source: theme.item.icon("qrc:/Image/Icon/chatHistory.svg")
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

    TextField {
        id: search
        objectName: "historySearch"
        x: 8
        y: 46
        width: parent.width - 16
        height: 26
        leftPadding: 26
        rightPadding: 6
        topPadding: 0
        bottomPadding: 0
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        font.family: fontManager.item.oppoSansM.name
        font.pixelSize: 12
        color: theme.item.colorB1
        placeholderText: qsTr("Search")
        placeholderTextColor: theme.item.colorW5
        selectionColor: theme.item.themeOneColor5
        selectedTextColor: theme.item.colorB1
        Accessible.role: Accessible.EditableText
        Accessible.name: qsTr("Search the conversations")
        onTextChanged: dialog_manager.searchConversations(text)
        // Escape empties the field first; on an empty field it goes on to the window.
        Keys.onEscapePressed: {
            event.accepted = text.length > 0
            clear()
        }

        background: Rectangle {
            radius: height / 2
            color: theme.item.colorW2
            border.color: search.activeFocus ? theme.item.themeOneColor4 : theme.item.colorW3
            border.width: 1

            Image {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                sourceSize: Qt.size(14, 14)
                source: theme.item.icon("qrc:/Image/Icon/find.svg")
            }
        }
    }

    // Said in the list's place when a search finds nothing (or is still looking).
    Text {
        objectName: "searchState"
        visible: dialog_manager.historyModel.filtering && list.count === 0
        anchors.horizontalCenter: parent.horizontalCenter
        y: list.y + 12
        width: list.width - 8
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: dialog_manager.searching ? qsTr("Searching…") : qsTr("No conversation found")
        textFormat: Text.PlainText
        font.family: fontManager.item.oppoSansM.name
        font.pixelSize: 12
        color: theme.item.colorW5
    }

    DeleteConfirmation {
        id: confirmation
        onConfirmed: {
            if (!dialog_manager.deleteConversation(row))
                history.notice(qsTr("The conversation could not be deleted."))
        }
    }

    ListView {
        id: list
        objectName: "historyList"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 80
        width: 118
        height: 458
        spacing: 4
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: dialog_manager.historyModel
        highlightFollowsCurrentItem: false
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Conversations")
        ScrollBar.vertical: ScrollHandle {}

        delegate: Item {
            id: entry

            // The conversation's row in the manager's list (the search reorders this one).
            readonly property int row: model.row
            readonly property bool current: row === dialog_manager.currentIndex
            // The mouse is over the entry or one of its actions (which lie over the entry), or
            // the keyboard is on one of them.
            readonly property bool showActions: !editing
                && (choose.hovered || exportButton.hovered || deleteButton.hovered
                    || choose.visualFocus || exportButton.activeFocus || deleteButton.activeFocus)
            property bool editing: false

            function startRename() {
                editor.text = model.title
                editing = true
                editor.forceActiveFocus()
                editor.selectAll()
            }

            // The hidden editor must not keep the keys (Escape would never reach the window).
            function stopEditing() {
                editing = false
                editor.focus = false
            }

            function finishRename() {
                if (!editing)
                    return
                stopEditing()
                if (editor.text.length > 0 && editor.text !== model.title)
                    dialog_manager.modifyTitleAtIndex(editor.text, row)
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
                onClicked: history.open(entry.row)
                onDoubleClicked: entry.startRename()

                FocusRing {}
            }

            Text {
                id: title
                objectName: "historyTitle"
                visible: !entry.editing
                x: 4
                anchors.verticalCenter: parent.verticalCenter
                width: entry.showActions ? actions.x - x - 2 : 94
                text: model.title
                textFormat: Text.PlainText
                elide: Text.ElideRight
                maximumLineCount: 1
                wrapMode: Text.NoWrap
                font.family: fontManager.item.oppoSansM.name
                font.pixelSize: 14
                color: entry.current ? theme.item.colorB1 : theme.item.colorW5
            }

            Row {
                id: actions
                visible: entry.showActions
                anchors.right: parent.right
                anchors.rightMargin: 2
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2

                IconButton {
                    id: exportButton
                    objectName: "exportButton"
                    width: 18
                    height: 18
                    normalSource: "qrc:/Image/Icon/export_normal.svg"
                    hoveredSource: "qrc:/Image/Icon/export_hovered.svg"
                    pressedSource: "qrc:/Image/Icon/export_pressed.svg"
                    Accessible.name: qsTr("Export the conversation")
                    onClicked: window.chooseExportFile(entry.row)
                }

                IconButton {
                    id: deleteButton
                    objectName: "deleteButton"
                    width: 18
                    height: 18
                    normalSource: "qrc:/Image/Icon/delete_normal.svg"
                    hoveredSource: "qrc:/Image/Icon/delete_hovered.svg"
                    pressedSource: "qrc:/Image/Icon/delete_pressed.svg"
                    Accessible.name: qsTr("Delete the conversation")
                    onClicked: confirmation.ask(entry.row, model.title)
                }
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
                    entry.stopEditing()
                    event.accepted = true
                }
            }
        }
    }
}
