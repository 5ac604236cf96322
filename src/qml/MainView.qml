import QtQuick 2.15
import QtQuick.Controls 2.15

// Stand-in chat bar until the full chat views arrive: the avatar, one input line with a send
// button, and the latest answer in one line above the bar. Its size follows the window.
Item {
    id: root

    readonly property bool dark: window.sysSkinType === 1
    readonly property color accent: "#4737FF"
    readonly property color barColor: dark ? "#24242B" : "#FFFFFF"
    readonly property color borderColor: dark ? "#3A3A45" : "#E3E6EE"
    readonly property color textColor: dark ? "#F2F2F5" : "#1D1D26"
    readonly property color hintColor: dark ? "#8C8C99" : "#9A9DAA"
    readonly property bool busy: answers.count !== 0 && !dialog_manager.responseGenerated
    readonly property bool canSend: window.allowQuestion && !busy && input.text.length > 0

    function send() {
        if (!canSend)
            return
        dialog_manager.sendMessage(input.text)
        input.clear()
    }

    // The latest row of the conversation, one line high; the model holds HTML.
    Rectangle {
        id: answerStrip
        x: 50
        width: 526
        height: 20
        radius: 10
        color: root.barColor
        border.color: root.borderColor
        visible: answers.count > 0

        ListView {
            id: answers
            anchors.fill: parent
            anchors.leftMargin: 12
            anchors.rightMargin: 12
            clip: true
            interactive: false
            model: dialog_manager.dialogModel
            onCountChanged: positionViewAtEnd()
            delegate: Text {
                width: answers.width
                height: answers.height
                verticalAlignment: Text.AlignVCenter
                textFormat: Text.RichText
                font.pixelSize: 12
                color: root.textColor
                text: model.content
            }
        }
    }

    Rectangle {
        id: avatar
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        width: 42
        height: 42
        radius: 21
        gradient: Gradient {
            GradientStop { position: 0.0; color: "#6C5CFF" }
            GradientStop { position: 1.0; color: root.accent }
        }

        Text {
            anchors.centerIn: parent
            text: "AI"
            color: "white"
            font.pixelSize: 15
            font.bold: true
        }
    }

    Rectangle {
        id: bar
        anchors.left: avatar.right
        anchors.leftMargin: 8
        anchors.bottom: parent.bottom
        width: 526
        height: 42
        radius: 20
        color: root.barColor
        border.color: root.borderColor

        TextField {
            id: input
            objectName: "input"
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.right: sendButton.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            background: null
            color: root.textColor
            font.pixelSize: 14
            selectByMouse: true
            selectionColor: root.accent
            placeholderTextColor: window.allowQuestion ? root.hintColor : "red"
            placeholderText: window.allowQuestion ? qsTr("Please enter your content")
                : window.notEnough ? qsTr("The balance is insufficient, please top up as soon as possible")
                : qsTr("Please connect the device first and activate the AI\u200B\u200B function")
            onAccepted: root.send()
        }

        Rectangle {
            id: sendButton
            anchors.right: parent.right
            anchors.rightMargin: 4
            anchors.verticalCenter: parent.verticalCenter
            width: 34
            height: 34
            radius: 17
            color: root.canSend ? (sendArea.pressed ? Qt.darker(root.accent, 1.2) : root.accent)
                                : (root.dark ? "#3A3A45" : "#D9DCE6")

            // A paper-plane arrow pointing right.
            Canvas {
                anchors.centerIn: parent
                width: 14
                height: 14
                onPaint: {
                    var ctx = getContext("2d")
                    ctx.reset()
                    ctx.fillStyle = "white"
                    ctx.beginPath()
                    ctx.moveTo(1, 1)
                    ctx.lineTo(13, 7)
                    ctx.lineTo(1, 13)
                    ctx.lineTo(3, 7)
                    ctx.closePath()
                    ctx.fill()
                }
            }

            MouseArea {
                id: sendArea
                anchors.fill: parent
                enabled: root.canSend
                onClicked: root.send()
            }
        }
    }
}
