import QtQuick 2.15
import QtQuick.Controls 2.15
import "FirstRun"

// The guide window: shows where the keyboard's AI key is and what it does. Closing it brings
// up the chat window (closeWindow).
ApplicationWindow {
    id: root

    readonly property QtObject colors: theme.item
    readonly property string fontFamily: fontManager.item ? fontManager.item.oppoSansM.name : ""
    readonly property color colorB1: colors ? colors.colorB1 : "#0A0A0A"

    signal closeWindow()

    width: 524
    height: 262
    flags: Qt.Window | Qt.FramelessWindowHint
    color: "transparent"
    title: qsTr("Wake-up reminder")

    Loader {
        id: theme
        source: "qrc:/Theme/LightTheme.qml"
    }

    Loader {
        id: fontManager
        source: "qrc:/FontManager.qml"
    }

    Rectangle {
        id: background
        anchors.fill: parent
        radius: 20
        color: "white"
        border.width: 1
        border.color: "#11000000"
    }

    Rectangle {
        id: content
        anchors.fill: parent
        radius: 20
        color: "transparent"

        FirstRunHeader {
            id: header
            title: root.title
            titleColor: root.colorB1
            fontFamily: root.fontFamily
            closeName: qsTr("Close")
            onCloseClicked: root.closeWindow()
        }

        Image {
            id: picture
            objectName: "guidePicture"
            anchors.top: header.bottom
            anchors.topMargin: 12
            anchors.left: parent.left
            anchors.leftMargin: 20
            width: 484
            height: 132
            fillMode: Image.PreserveAspectFit
            smooth: true
            source: "qrc:/Image/Icon/guide_image.svg"
            sourceSize: Qt.size(width * 2, height * 2)
        }

        Text {
            id: hint
            objectName: "guideText"
            anchors.top: picture.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            width: 433
            height: 28
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            wrapMode: Text.WordWrap
            textFormat: Text.RichText
            font.family: root.fontFamily
            font.pixelSize: 14
            color: root.colorB1
            text: qsTr("Via keyboard [AI key]") + "<font color=\"#4737FF\">"
                + qsTr("Quickly wake up AI function") + "</font>"
        }
    }
}
