import QtQuick 2.15
import QtQuick.Controls 2.15

// The bottom line of the chat window: the assistant's avatar (also the window's drag handle, so
// its place is fixed) and the question box with its send button (a stop button while an answer
// streams) and the questions left. Enter starts a new line, Ctrl+Enter sends. Uses `theme` and
// `fontManager` of the enclosing view.
Item {
    id: bar

    property alias input: input
    // The avatar's place: under the chat panel, shifted right while the history is open.
    property int avatarX: 0
    property bool multiLine: false
    readonly property int textLineHeight: 22
    readonly property int contentBoxHeight: 168
    // Where the question box's middle lies, for what sits centred above it.
    readonly property real inputBoxCenter: inputBox.x + inputBox.width / 2

    signal sendRequested()

    Item {
        id: avatar
        objectName: "avatar"
        x: bar.avatarX
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
        height: bar.height
        radius: 20
        color: theme.item.colorW1
        border.color: input.activeFocus ? theme.item.themeOneColor4 : theme.item.colorW3
        border.width: 1

        ScrollView {
            id: inputScroll
            x: 16
            y: bar.multiLine ? 10 : (parent.height - height) / 2
            width: (allowance.visible ? allowance.x : sendButton.x) - x - 8
            height: bar.multiLine ? bar.contentBoxHeight : bar.textLineHeight + 4
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
                Accessible.role: Accessible.EditableText
                Accessible.description: placeholderText

                Keys.onPressed: {
                    if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter)
                            && (event.modifiers & Qt.ControlModifier)) {
                        event.accepted = true
                        bar.sendRequested()
                    }
                }
                // Tab goes on to the next control, as everywhere else: a question has no use
                // for a tab character.
                Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                Keys.onBacktabPressed: {
                    nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
                }
            }
        }

        // How many questions the keyboard has left, quietly; in the warning colour near the end.
        Text {
            id: allowance
            objectName: "allowance"
            visible: window.questionsLeft >= 0
            anchors.right: sendButton.left
            anchors.rightMargin: 8
            anchors.verticalCenter: sendButton.verticalCenter
            text: qsTr("%n question(s) left", "", window.questionsLeft)
            textFormat: Text.PlainText
            font.family: fontManager.item.oppoSansM.name
            font.pixelSize: 12
            color: window.allowanceLow ? theme.item.warningColor : theme.item.colorW5
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }

        // While an answer streams, the stop button takes the send button's place.
        IconButton {
            id: stopButton
            objectName: "stopButton"
            visible: dialog_manager.answering
            anchors.fill: sendButton
            normalSource: "qrc:/Image/Icon/stop_normal.svg"
            hoveredSource: "qrc:/Image/Icon/stop_hovered.svg"
            pressedSource: "qrc:/Image/Icon/stop_pressed.svg"
            Accessible.name: qsTr("Stop the answer")
            onClicked: dialog_manager.stopGeneration()
        }

        IconButton {
            id: sendButton
            objectName: "sendButton"
            visible: !dialog_manager.answering
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
            onClicked: bar.sendRequested()
        }
    }
}
