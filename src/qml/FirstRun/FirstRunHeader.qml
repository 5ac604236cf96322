import QtQuick 2.15

// Top of both first-run windows: the product logo, then the window's title at the left and
// the close cross at the right. The owner decides what closing means (closeClicked).
Item {
    id: header

    property string title
    property color titleColor: "#0A0A0A"
    property string fontFamily
    property string closeName

    signal closeClicked()

    width: parent ? parent.width : 0
    height: titleArea.height + 13 + headerRow.height

    Item {
        id: titleArea
        width: parent.width
        height: 40

        Image {
            id: logo
            anchors.horizontalCenter: parent.horizontalCenter
            y: 20
            width: 99
            height: 20
            fillMode: Image.PreserveAspectFit
            smooth: true
            source: "qrc:/Image/Settings/LumoraAI.png"
        }
    }

    Item {
        id: headerRow
        anchors.top: titleArea.bottom
        anchors.topMargin: 13
        width: parent.width
        height: 30

        Text {
            id: titleText
            objectName: "titleText"
            anchors.left: parent.left
            anchors.leftMargin: 20
            anchors.top: parent.top
            anchors.topMargin: 2
            text: header.title
            font.family: header.fontFamily
            font.pixelSize: 16
            lineHeight: 19
            lineHeightMode: Text.FixedHeight
            color: header.titleColor
        }

        Image {
            id: closeCross
            objectName: "closeButton"
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: titleText.verticalCenter
            width: 18
            height: 18
            fillMode: Image.PreserveAspectFit
            smooth: true
            sourceSize: Qt.size(width, height)
            source: closeArea.pressed ? "qrc:/Image/Settings/close_clicked.svg"
                : closeArea.containsMouse ? "qrc:/Image/Settings/close_hot.svg"
                : "qrc:/Image/Settings/close_normal.svg"
            Accessible.role: Accessible.Button
            Accessible.name: header.closeName
            Accessible.onPressAction: header.closeClicked()

            MouseArea {
                id: closeArea
                objectName: "closeArea"
                anchors.fill: parent
                hoverEnabled: true
                onClicked: header.closeClicked()
            }
        }
    }
}
