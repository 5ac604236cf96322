import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/DialogModule"

// The chat window: the assistant's avatar and the input box at the bottom, the chat panel
// above them and the history panel to its left. The window has no frame and one fixed shape
// per state, so every opening and closing resizes and moves it through window.setXandY();
// the bottom edge of the input box stays where it is when a panel opens.
Item {
    id: root

    property bool openHistory: false
    property bool chatOpen: false
    readonly property int lineHeight: 42
    readonly property int textLineHeight: 22
    readonly property int lineContentHeight: 27
    readonly property int contentBoxHeight: 168
    readonly property int textAreaHeight: 212

    // Fixed parts of the window's shape.
    readonly property int chatPanelHeight: 594
    readonly property int chatPanelGap: 5
    readonly property int pullUpSpace: 16 + 8
    readonly property int historyShift: 84
    readonly property int barWidth: 576

    // The input counts as one line up to lineContentHeight of text.
    readonly property bool multiLine: content.item !== null
        && content.item.input.contentHeight > lineContentHeight
    readonly property int inputHeight: multiLine ? textAreaHeight : lineHeight

    onMultiLineChanged: fitInputHeight()

    // An answer is on its way: nothing may start another one or change the conversation.
    function busy() {
        return dialog_manager.dialogModel.rowCount() !== 0 && !dialog_manager.responseGenerated
    }

    function windowHeight() {
        // Read multiLine itself: this runs while its change is being handled.
        return (multiLine ? textAreaHeight : lineHeight)
            + (chatOpen ? chatPanelHeight + chatPanelGap : pullUpSpace)
    }

    function windowWidth() {
        return barWidth + (openHistory ? historyShift : 0)
    }

    // The input box grew to several lines or shrank back to one: the top edge stays.
    function fitInputHeight() {
        window.setXandY(window.x, window.y, windowWidth(), windowHeight())
    }

    function openChat() {
        if (chatOpen)
            return
        chatOpen = true
        const added = chatPanelHeight + chatPanelGap - pullUpSpace
        window.setXandY(window.x, window.y - added, windowWidth(), windowHeight())
        window.setDialog(true)
    }

    function foldChat() {
        if (!chatOpen)
            return
        if (openHistory)
            closeHistory(false)
        chatOpen = false
        window.setDialog(false)
        const removed = chatPanelHeight + chatPanelGap - pullUpSpace
        window.setXandY(window.x, window.y + removed, windowWidth(), windowHeight())
    }

    function openHistoryPanel() {
        if (openHistory)
            return
        openHistory = true
        window.setHistory(true)
        window.setDialog(false)
        window.setXandY(window.x - historyShift, window.y, windowWidth(), windowHeight())
    }

    function closeHistory(reopenDialog) {
        if (!openHistory)
            return
        openHistory = false
        window.setHistory(false)
        if (reopenDialog)
            window.setDialog(true)
        window.setXandY(window.x + historyShift, window.y, windowWidth(), windowHeight())
    }

    // The send button and Ctrl+Enter: nothing without text, without permission or while an
    // answer is pending.
    function send() {
        const input = content.item.input
        const question = input.text
        if (question.trim().length === 0 || !window.allowQuestion || busy())
            return
        dialog_manager.sendMessage(question)
        input.clear()
        window.setDialog(true)
        openChat()
    }

    Loader {
        id: theme
        source: "qrc:/Theme/LightTheme.qml"
        // Also reachable from code that has no access to this document's ids.
        onLoaded: Qt.application.themeManager = item
    }

    Loader {
        id: fontManager
        source: "qrc:/FontManager.qml"
        onLoaded: Qt.application.fontManager = item
    }

    // The views bind to the palette and the fonts from their first evaluation on, so they are
    // built once both documents are there.
    Loader {
        id: content
        anchors.fill: parent
        active: theme.status === Loader.Ready && fontManager.status === Loader.Ready
        sourceComponent: chatWindow
    }

    Component {
        id: chatWindow

        Item {
            id: view

            property alias input: input

            // Raised by the AI key: the user can type at once.
            Connections {
                target: window
                function onActiveChanged() {
                    if (window.active)
                        input.forceActiveFocus()
                }
            }

            // The avatar: also the drag handle of the window, so its place is fixed.
            Item {
                id: avatar
                objectName: "avatar"
                x: root.openHistory ? root.historyShift : 0
                anchors.top: inputBox.top
                width: 42
                height: 42
                Accessible.role: Accessible.Graphic
                Accessible.name: qsTr("Assistant")

                Image {
                    anchors.fill: parent
                    source: "qrc:/Image/Icon/DeepSeek.png"
                    sourceSize: Qt.size(84, 84)
                    smooth: true
                    mipmap: true
                    fillMode: Image.PreserveAspectFit
                }

                Rectangle {
                    anchors.fill: parent
                    radius: width / 2
                    color: "transparent"
                    border.color: theme.item.colorW3
                    border.width: 2
                }
            }

            Rectangle {
                id: inputBox
                objectName: "inputBox"
                anchors.left: avatar.right
                anchors.leftMargin: 8
                anchors.bottom: parent.bottom
                width: 526
                height: root.inputHeight
                radius: 20
                color: theme.item.colorW1
                border.color: input.activeFocus ? theme.item.themeOneColor4 : theme.item.colorW3
                border.width: 1

                ScrollView {
                    id: inputScroll
                    x: 16
                    y: root.multiLine ? 10 : (parent.height - height) / 2
                    width: sendButton.x - x - 8
                    height: root.multiLine ? root.contentBoxHeight : root.textLineHeight + 4
                    clip: true
                    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

                    TextArea {
                        id: input
                        objectName: "input"
                        padding: 2
                        leftPadding: 2
                        rightPadding: 2
                        background: null
                        wrapMode: TextEdit.Wrap
                        textFormat: TextEdit.PlainText
                        selectByMouse: true
                        persistentSelection: false
                        font.family: fontManager.item.oppoSansM.name
                        font.pixelSize: 14
                        color: theme.item.colorB1
                        selectionColor: theme.item.themeOneColor5
                        selectedTextColor: theme.item.colorB1
                        placeholderTextColor: window.allowQuestion ? theme.item.colorW4 : "red"
                        placeholderText: window.allowQuestion
                            ? qsTr("Please enter your content")
                            : window.notEnough
                                ? qsTr("The balance is insufficient, please top up as soon as possible")
                                : qsTr("Please connect the device first and activate the AI \u200B\u200Bfunction")
                        Accessible.name: qsTr("Question")
                        Accessible.description: placeholderText

                        // Enter starts a new line like in any text box; Ctrl+Enter sends.
                        Keys.onPressed: {
                            if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter)
                                    && (event.modifiers & Qt.ControlModifier)) {
                                event.accepted = true
                                root.send()
                            }
                        }
                    }
                }

                IconButton {
                    id: sendButton
                    objectName: "sendButton"
                    anchors.right: parent.right
                    anchors.rightMargin: 6
                    anchors.bottom: parent.bottom
                    anchors.bottomMargin: 4
                    width: 34
                    height: 34
                    enabled: window.allowQuestion
                    normalSource: "qrc:/Image/Icon/send_normal.svg"
                    hoveredSource: "qrc:/Image/Icon/send_hovered.svg"
                    pressedSource: "qrc:/Image/Icon/send_pressed.svg"
                    disabledSource: "qrc:/Image/Icon/send_disabled.svg"
                    Accessible.name: qsTr("Send")
                    onClicked: root.send()
                }
            }

            // Opens the chat panel without a question. Hidden while the panel is open, which
            // would cover it.
            AbstractButton {
                id: pullUp
                objectName: "pullUpButton"
                visible: !root.chatOpen
                width: 16
                height: 16
                anchors.horizontalCenter: inputBox.horizontalCenter
                anchors.bottom: inputBox.top
                anchors.bottomMargin: 8
                padding: 0
                focusPolicy: Qt.NoFocus
                hoverEnabled: true
                Accessible.name: qsTr("Open the chat")
                onClicked: root.openChat()

                background: Rectangle {
                    radius: 8
                    color: pullUp.hovered ? theme.item.colorW2 : theme.item.colorW1
                    border.color: theme.item.colorW3
                    border.width: 1
                }

                contentItem: Item {
                    Image {
                        anchors.centerIn: parent
                        width: 12
                        height: 12
                        sourceSize: Qt.size(12, 12)
                        source: "qrc:/Image/Icon/pullUp.svg"
                    }
                }
            }

            Rectangle {
                id: chatPanel
                objectName: "chatPanel"
                visible: root.chatOpen
                anchors.right: parent.right
                anchors.bottom: avatar.top
                anchors.bottomMargin: root.chatPanelGap
                width: 526
                height: root.chatPanelHeight
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
                        checked: root.openHistory
                        normalSource: "qrc:/Image/Icon/history_normal.svg"
                        hoveredSource: "qrc:/Image/Icon/history_hovered.svg"
                        pressedSource: "qrc:/Image/Icon/history_pressed.svg"
                        checkedSource: "qrc:/Image/Icon/history_pressed.svg"
                        Accessible.name: qsTr("History")
                        onClicked: {
                            if (root.openHistory)
                                root.closeHistory(true)
                            else
                                root.openHistoryPanel()
                            checked = Qt.binding(function() { return root.openHistory })
                        }
                    }

                    IconButton {
                        id: foldButton
                        objectName: "foldButton"
                        normalSource: "qrc:/Image/Icon/dropDown_normal.svg"
                        Accessible.name: qsTr("Fold the chat")
                        onClicked: root.foldChat()
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

                // The buttons sit centred in the 52 below the lower line.
                Row {
                    id: bottomRow
                    x: 20
                    anchors.bottom: parent.bottom
                    anchors.bottomMargin: 10
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
                    anchors.right: bottomLine.right
                    anchors.verticalCenter: bottomRow.verticalCenter
                    active: pressed
                    text: qsTr("New chat")
                    iconSource: hovered ? "qrc:/Image/Icon/newChat_hovered.svg"
                                        : "qrc:/Image/Icon/newChat_normal.svg"
                    activeIconSource: "qrc:/Image/Icon/newChat_pressed.svg"
                    Accessible.name: text
                    onClicked: {
                        if (!root.busy())
                            dialog_manager.dialogModel.clearAll()
                    }
                }
            }

            Rectangle {
                id: historyPanel
                objectName: "historyPanel"
                visible: root.openHistory && root.chatOpen
                anchors.right: chatPanel.left
                anchors.rightMargin: 8
                anchors.top: chatPanel.top
                width: 126
                height: 590
                radius: 20
                color: theme.item.colorW1
                border.color: theme.item.colorW3
                border.width: 1

                ChatHistory {
                    anchors.fill: parent
                }
            }
        }
    }
}
