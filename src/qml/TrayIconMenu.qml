import QtQuick 2.15
import QtQuick.Controls 2.15

// The tray icon's popup: "设置" and "退出". The palette follows manager.currentTheme; until a
// palette has loaded, the light colours below stand in.
Item {
    id: root
    objectName: "trayMenuRoot"

    readonly property var colours: theme.item
    readonly property color menuBackground: colours ? colours.color7 : "#FFFFFF"
    readonly property color textColor: colours ? colours.color1 : "#0A0A0A"
    readonly property color pressedColor: colours ? colours.themeOneColor : "#DBE3FF"
    readonly property color hoveredColor: colours ? colours.themeOneColor8 : "#EBF1FF"
    readonly property string fontFamily: fontManager.item ? fontManager.item.oppoSansM.name
                                                          : Qt.application.font.family

    width: 196
    height: list.contentHeight + 12

    Loader {
        id: theme
        source: manager && manager.currentTheme !== "" ? "qrc:/Theme/" + manager.currentTheme : ""
    }

    Loader {
        id: fontManager
        source: "qrc:/FontManager.qml"
    }

    Rectangle {
        anchors.fill: parent
        color: root.menuBackground
        border.width: 1
        border.color: "#11000000"
        radius: 8
    }

    ListView {
        id: list
        anchors.fill: parent
        anchors.margins: 6
        spacing: 6
        interactive: false
        model: ListModel {
            ListElement { group: "0"; buttonIndex: 0; type_image: ""; name: qsTr("设置"); battery: 0; connect_type: 0 }
            ListElement { group: "0"; buttonIndex: 1; type_image: ""; name: qsTr("退出"); battery: 0; connect_type: 0 }
        }
        delegate: Button {
            id: entry
            objectName: "trayMenuItem" + buttonIndex
            width: ListView.view.width
            height: 32
            padding: 0
            Accessible.name: name
            Accessible.role: Accessible.MenuItem
            onClicked: manager.itemClicked(buttonIndex)

            background: Rectangle {
                radius: 8
                color: entry.pressed ? root.pressedColor
                                     : entry.hovered ? root.hoveredColor : root.menuBackground
            }
            contentItem: Text {
                text: name
                leftPadding: 8
                verticalAlignment: Text.AlignVCenter
                font.family: root.fontFamily
                font.pixelSize: 14
                color: root.textColor
            }
        }
    }
}
