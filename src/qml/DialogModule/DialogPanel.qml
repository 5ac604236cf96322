import QtQuick 2.15
import QtQuick.Controls 2.15
import Lumora.Chat 1.0
import "qrc:/Controls"

// The messages of the current conversation: questions right-aligned in a bubble, answers to
// the left with their reasoning above them. Uses `theme` and `fontManager` of the enclosing
// view.
Item {
    id: panel

    ListView {
        id: messages
        objectName: "dialogList"
        anchors.centerIn: parent
        width: 514
        height: 476
        clip: true
        spacing: 12
        orientation: ListView.Vertical
        boundsBehavior: Flickable.StopAtBounds
        model: dialog_manager.dialogModel
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Conversation")
        ScrollBar.vertical: ScrollHandle {}

        // A new question (or the answer replacing its placeholder) is brought into view; an
        // answer that grows while it streams leaves the view where the user put it.
        onCountChanged: Qt.callLater(positionViewAtEnd)

        Component.onCompleted: console.debug("count: " + count)

        delegate: Item {
            id: row

            readonly property bool question: model.sender === 0

            width: messages.width
            height: question ? bubble.height : answer.height

            Rectangle {
                id: bubble
                objectName: "questionBubble"
                visible: row.question
                anchors.right: parent.right
                anchors.rightMargin: 15
                width: Math.min(questionText.m_contentWidth + 24, 486)
                height: questionText.contentHeight + 10
                radius: 4
                color: theme.item.themeOneColor6

                // Questions are shown exactly as typed, never as markup.
                SelectableText {
                    id: questionText
                    objectName: "questionText"
                    anchors.centerIn: parent
                    width: bubble.width - 24
                    textFormat: TextEdit.PlainText
                    text: row.question ? model.content : ""
                }
            }

            Column {
                id: answer
                objectName: "answerBlock"
                visible: !row.question
                x: 14
                width: 486
                spacing: 12

                Text {
                    id: reasoningLabel
                    objectName: "reasoningLabel"
                    visible: reasoningText.visible
                    width: 486
                    color: theme.item.colorW5
                    font.pixelSize: 14
                    font.family: fontManager.item.oppoSansM.name
                    text: qsTr("Reason: ")
                }

                // The reasoning and the answer stream in piece by piece, block by block:
                // setting a long text whole at every event would freeze the window.
                AnswerView {
                    id: reasoningText
                    objectName: "reasoningText"
                    visible: !row.question && model.reasoningContent.length > 0
                    width: 486
                    color: theme.item.colorW5
                    html: visible ? model.reasoningContent : ""
                }

                AnswerView {
                    id: answerText
                    objectName: "answerText"
                    width: 486
                    html: row.question ? "" : model.content
                }
            }
        }
    }
}
