import QtQuick 2.15
import QtQuick.Controls 2.15

// A code block of an answer: its language and a button that copies exactly its code above
// it, the code highlighted on a tint, long lines scrolling sideways inside the block. A long
// answer holds many code blocks: the button is made only while the block is in view, the
// scroll bar only when a line is too long.
Rectangle {
    id: block

    property alias source: code.source
    property alias language: code.language

    implicitHeight: header.height + scroller.height + 10
    radius: 8
    color: theme.item.codeBlockColor
    border.color: theme.item.tableLineColor
    border.width: 1

    Item {
        id: header

        width: parent.width
        height: 30

        Text {
            objectName: "codeLanguage"
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            color: theme.item.colorW6
            font.family: fontManager.item.oppoSansM.name
            font.pixelSize: 12
            text: block.language.length > 0 ? block.language : qsTr("code")
        }

        Loader {
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            active: code.inView
            sourceComponent: CopyCodeButton {
                onClicked: code.copyCode()
            }
        }
    }

    Flickable {
        id: scroller
        objectName: "codeScroller"

        anchors.top: header.bottom
        x: 12
        width: parent.width - 24
        height: code.height + (wide ? 10 : 0)
        readonly property bool wide: code.implicitWidth > width
        contentWidth: code.width
        contentHeight: code.height
        flickableDirection: Flickable.HorizontalFlick
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        AnswerPiece {
            id: code
            objectName: "codePiece"
            kind: "code"
            width: Math.max(implicitWidth, scroller.width)
            availableWidth: scroller.width
        }
    }

    Loader {
        anchors.bottom: scroller.bottom
        x: scroller.x
        width: scroller.width
        active: scroller.wide
        sourceComponent: ScrollHandle {
            orientation: Qt.Horizontal
            size: scroller.visibleArea.widthRatio
            position: scroller.visibleArea.xPosition
            onPositionChanged: {
                if (pressed)
                    scroller.contentX = position * scroller.contentWidth
            }
        }
    }
}
