import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"
import "qrc:/DialogModule"

// The chat window: the assistant's avatar and the input box at the bottom, the chat panel
// above them and the history panel to its left. The window has no frame and one fixed shape
// per state, so every opening and closing resizes and moves it through window.setXandY();
// the bottom edge of the input box stays where it is when a panel opens. The moves start from
// window.placeX/placeY, the place before the window was kept on its screen, so the bar comes
// back to its place when the panel closes.
Item {
    id: root

    property bool openHistory: false
    property bool chatOpen: false
    readonly property int lineHeight: 42
    readonly property int lineContentHeight: 27
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
        window.setXandY(window.placeX, window.placeY, windowWidth(), windowHeight())
    }

    function openChat() {
        if (chatOpen)
            return
        chatOpen = true
        const added = chatPanelHeight + chatPanelGap - pullUpSpace
        window.setXandY(window.placeX, window.placeY - added, windowWidth(), windowHeight())
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
        window.setXandY(window.placeX, window.placeY + removed, windowWidth(), windowHeight())
    }

    function openHistoryPanel() {
        if (openHistory)
            return
        openHistory = true
        window.setHistory(true)
        window.setDialog(false)
        window.setXandY(window.placeX - historyShift, window.placeY, windowWidth(), windowHeight())
    }

    function closeHistory(reopenDialog) {
        if (!openHistory)
            return
        openHistory = false
        window.setHistory(false)
        if (reopenDialog)
            window.setDialog(true)
        window.setXandY(window.placeX + historyShift, window.placeY, windowWidth(), windowHeight())
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

    // The palette: light, or dark while the dark theme is current. Both stay loaded while dark,
    // so that switching never leaves the views without one.
    Loader {
        id: lightPalette
        source: "qrc:/Theme/LightTheme.qml"
    }

    Loader {
        id: darkPalette
        active: window.darkTheme
        source: "qrc:/Theme/ChatDarkTheme.qml"
    }

    QtObject {
        id: theme

        readonly property int status: lightPalette.status
        readonly property QtObject item: darkPalette.status === Loader.Ready ? darkPalette.item
                                                                             : lightPalette.item

        // Also reachable from code that has no access to this document's ids.
        onItemChanged: Qt.application.themeManager = item
        Component.onCompleted: Qt.application.themeManager = item
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

            property alias input: bar.input

            // Raised by the AI key: the user can type at once.
            Connections {
                target: window
                function onActiveChanged() {
                    if (window.active)
                        bar.input.forceActiveFocus()
                }
            }

            InputBar {
                id: bar
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                height: root.inputHeight
                avatarX: root.openHistory ? root.historyShift : 0
                multiLine: root.multiLine
                onSendRequested: root.send()
            }

            // Opens the chat panel without a question. Hidden while the panel is open, which
            // would cover it.
            AbstractButton {
                id: pullUp
                objectName: "pullUpButton"
                visible: !root.chatOpen
                width: 16
                height: 16
                x: bar.x + bar.inputBoxCenter - width / 2
                anchors.bottom: bar.top
                anchors.bottomMargin: 8
                padding: 0
                // Tab reaches it; a click leaves the focus where it was.
                focusPolicy: Qt.TabFocus
                hoverEnabled: true
                Accessible.name: qsTr("Open the chat")
                Accessible.role: Accessible.Button
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

                FocusRing {}
            }

            ChatPanel {
                id: chatPanel
                objectName: "chatPanel"
                visible: root.chatOpen
                anchors.right: parent.right
                anchors.bottom: bar.top
                anchors.bottomMargin: root.chatPanelGap
                width: 526
                height: root.chatPanelHeight
                historyOpen: root.openHistory
                onHistoryToggled: {
                    if (root.openHistory)
                        root.closeHistory(true)
                    else
                        root.openHistoryPanel()
                }
                onFoldRequested: root.foldChat()
                onNewChatRequested: {
                    if (!root.busy())
                        dialog_manager.dialogModel.clearAll()
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
                    onNotice: notice.show(text)
                }
            }

            // A word about something that ended out of sight: an export, a failed delete.
            Rectangle {
                id: notice
                objectName: "notice"

                function show(text) {
                    noticeText.text = text
                    visible = true
                    noticeTimer.restart()
                }

                visible: false
                anchors.horizontalCenter: chatPanel.horizontalCenter
                anchors.top: chatPanel.top
                anchors.topMargin: 46
                width: Math.min(noticeText.implicitWidth + 32, chatPanel.width - 40)
                height: noticeText.height + 16
                radius: height / 2
                color: theme.item.colorB3
                Accessible.role: Accessible.AlertMessage
                Accessible.name: noticeText.text

                Text {
                    id: noticeText
                    objectName: "noticeText"
                    anchors.centerIn: parent
                    width: parent.width - 32
                    horizontalAlignment: Text.AlignHCenter
                    elide: Text.ElideMiddle
                    textFormat: Text.PlainText
                    font.family: fontManager.item.oppoSansM.name
                    font.pixelSize: 12
                    color: theme.item.colorW1
                }

                Timer {
                    id: noticeTimer
                    interval: 4000
                    onTriggered: notice.visible = false
                }
            }

            Connections {
                target: window
                function onExportFinished(ok, path) {
                    notice.show(ok ? qsTr("Exported to %1").arg(path)
                                   : qsTr("Could not export to %1").arg(path))
                }
            }
        }
    }
}
