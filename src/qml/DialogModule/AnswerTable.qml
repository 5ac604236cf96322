import QtQuick 2.15
import QtQuick.Controls 2.15

// A table of an answer: padded cells between light lines, a shaded header row, in a frame with
// rounded corners as wide as the table; a table wider than the answer scrolls sideways inside
// the frame.
Item {
    id: block

    property alias source: table.source
    property alias color: table.color

    implicitHeight: frame.height

    Rectangle {
        id: frame

        width: Math.min(block.width, table.implicitWidth + 2)
        height: scroller.height + 2
        radius: 6
        color: "transparent"
        border.color: theme.item.tableLineColor
        border.width: 1

        Flickable {
            id: scroller
            objectName: "tableScroller"

            x: 1
            y: 1
            width: frame.width - 2
            height: table.height + (wide ? 10 : 0)
            readonly property bool wide: table.implicitWidth > width
            contentWidth: table.width
            contentHeight: table.height
            flickableDirection: Flickable.HorizontalFlick
            boundsBehavior: Flickable.StopAtBounds
            clip: true

            AnswerPiece {
                id: table
                objectName: "tablePiece"
                kind: "table"
                width: implicitWidth
                availableWidth: block.width - 2
            }
        }

        // Made only for a table wider than the answer.
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
}
