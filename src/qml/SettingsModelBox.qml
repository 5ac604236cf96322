import QtQuick 2.15
import QtQuick.Controls 2.15

// The choice of the default AI model in the settings window: a fixed list, shown disabled, so
// it always shows "deepseek" and cannot be opened.
ComboBox {
    id: modelBox

    property string fontFamily: Qt.application.font.family

    width: 113
    height: 30
    currentIndex: 0
    enabled: false
    textRole: "name"
    model: ListModel {
        ListElement { name: "deepseek"; icon: "qrc:/Image/Settings/deepseek_icon.png" }
        ListElement { name: "ChatGPT"; icon: "qrc:/Image/Settings/chatgpt_icon.png" }
        ListElement { name: "通义千问"; icon: "qrc:/Image/Settings/qianwen_icon.png" }
        ListElement { name: "抖音豆包"; icon: "qrc:/Image/Settings/doubao_icon.png" }
    }
    background: Rectangle { color: "transparent" }
    contentItem: Row {
        spacing: 5
        leftPadding: 4
        Image {
            width: 20
            height: 20
            anchors.verticalCenter: parent.verticalCenter
            source: modelBox.model.get(modelBox.currentIndex).icon
            sourceSize: Qt.size(40, 40)
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: modelBox.displayText
            font.family: modelBox.fontFamily
            font.pixelSize: 12
            color: "#0A0A0A"
        }
    }
    indicator: Image {
        width: 16
        height: 16
        x: modelBox.width - width - 1
        anchors.verticalCenter: parent.verticalCenter
        source: modelBox.popup.visible ? "qrc:/Image/Settings/arror_clicked.svg"
              : modelBox.hovered ? "qrc:/Image/Settings/arror_hot.svg"
                                 : "qrc:/Image/Settings/arror_normal.svg"
        sourceSize: Qt.size(32, 32)
    }
    delegate: ItemDelegate {
        width: modelBox.width
        height: 30
        highlighted: modelBox.highlightedIndex === index
        background: Rectangle {
            radius: 10
            color: highlighted ? "#DBE3FF" : "transparent"
        }
        contentItem: Row {
            spacing: 10
            Image {
                width: 20
                height: 20
                anchors.verticalCenter: parent.verticalCenter
                source: icon
                sourceSize: Qt.size(40, 40)
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: name
                font.family: modelBox.fontFamily
                font.pixelSize: 12
                color: highlighted ? "#ffffff" : "#0A0A0A"
            }
        }
    }
    popup: Popup {
        y: modelBox.height
        width: modelBox.width
        implicitHeight: Math.min(contentItem.implicitHeight + 2, 200)
        padding: 1
        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: modelBox.popup.visible ? modelBox.delegateModel : null
        }
        background: Rectangle {
            color: "white"
            radius: 10
        }
    }
}
