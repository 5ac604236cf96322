import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"

// The settings window: version and update check, AI usage, start with the computer and the
// (fixed) default model. Every value comes from "setting"; the window keeps no state.
ApplicationWindow {
    id: root
    objectName: "settingsWindow"

    signal closeWindow()
    signal startWindow()
    signal moveWindow()
    signal endDragWindow()

    readonly property string fontFamily: fontManager.item ? fontManager.item.oppoSansM.name
                                                          : Qt.application.font.family
    // The fill of the usage bar as a share of the track: empty before any count has arrived
    // (a total of 0), never beyond the track.
    readonly property real usageShare: setting.totalCount > 0
                                       ? Math.min(1, setting.usedNumCount / setting.totalCount) : 0

    width: 524
    height: 284
    flags: Qt.Window | Qt.FramelessWindowHint
    color: "transparent"
    title: qsTr("设置")

    Loader {
        id: fontManager
        source: "qrc:/FontManager.qml"
    }

    Rectangle {
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

        Rectangle {
            id: titleArea
            width: parent.width
            height: 40
            color: "transparent"

            Image {
                id: logo
                width: 99
                height: 20
                anchors.horizontalCenter: parent.horizontalCenter
                y: 20
                source: "qrc:/Image/Settings/LumoraAI.png"
                fillMode: Image.PreserveAspectFit
                smooth: true
            }
            Image {
                visible: false
                anchors.left: logo.right
                anchors.leftMargin: 2
                anchors.top: logo.top
                anchors.topMargin: 5
                source: "qrc:/Image/Settings/Lumora_AI.svg"
            }
            MouseArea {
                objectName: "settingsTitleDrag"
                anchors.fill: parent
                // Moves the window with the mouse; nothing for a screen reader to announce.
                Accessible.ignored: true
                onPressed: root.startWindow()
                onPositionChanged: root.moveWindow()
                onReleased: root.endDragWindow()
            }
        }

        Rectangle {
            id: headingRow
            anchors.top: titleArea.bottom
            anchors.topMargin: 13
            width: parent.width
            height: 30
            color: "transparent"

            Text {
                x: 20
                y: 2
                text: qsTr("设置")
                font.family: root.fontFamily
                font.pixelSize: 16
                color: "#0A0A0A"
                lineHeight: 19
                lineHeightMode: Text.FixedHeight
            }
            Button {
                id: closeButton
                objectName: "settingsClose"
                Accessible.name: qsTr("关闭")
                Accessible.role: Accessible.Button
                width: 18
                height: 18
                anchors.right: parent.right
                anchors.rightMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                padding: 0
                // Tab reaches it; a click leaves the focus where it was.
                focusPolicy: Qt.TabFocus
                contentItem: Item {}
                background: Image {
                    source: closeButton.pressed ? "qrc:/Image/Settings/close_clicked.svg"
                          : closeButton.hovered ? "qrc:/Image/Settings/close_hot.svg"
                                                : "qrc:/Image/Settings/close_normal.svg"
                    fillMode: Image.PreserveAspectFit
                    smooth: true
                    sourceSize: Qt.size(width, height)
                }
                onClicked: root.closeWindow()

                FocusRing {}
            }
        }

        Rectangle {
            id: versionRow
            anchors.top: headingRow.bottom
            anchors.topMargin: 3
            width: parent.width
            height: 50
            color: "transparent"

            Rectangle {
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                y: 1
                height: 48
                color: "#F4F6F7"
                radius: 14

                Image {
                    id: refreshIcon
                    x: 12
                    y: 12
                    width: 24
                    height: 24
                    source: "qrc:/Image/Settings/refresh_icon.svg"
                    sourceSize: Qt.size(width, height)
                }
                Text {
                    id: productName
                    anchors.left: refreshIcon.right
                    anchors.leftMargin: 8
                    y: 14
                    text: qsTr("LumoraAI")
                    font.family: root.fontFamily
                    font.pixelSize: 14
                    color: "#0A0A0A"
                    lineHeight: 16
                    lineHeightMode: Text.FixedHeight
                }
                Text {
                    objectName: "versionText"
                    anchors.left: productName.right
                    anchors.leftMargin: 10
                    y: 15
                    text: qsTr("当前版本V") + setting.currentVersion
                    font.family: root.fontFamily
                    font.pixelSize: 12
                    color: "#5D5D5D"
                    lineHeight: 14
                    lineHeightMode: Text.FixedHeight
                }
                Button {
                    id: updateButton
                    objectName: "checkUpdateButton"
                    Accessible.name: qsTr("检查更新")
                    Accessible.role: Accessible.Button
                    // At least the pill the Chinese label was drawn for; wider for a longer
                    // label ("Check for updates").
                    width: Math.max(80, contentItem.implicitWidth + 28)
                    height: 28
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    padding: 0
                    // Tab reaches it; a click leaves the focus where it was.
                    focusPolicy: Qt.TabFocus
                    // A click during a check would only be ignored; say so by the look.
                    opacity: setting.checking ? 0.6 : 1
                    background: Rectangle {
                        radius: 14
                        color: updateButton.pressed ? "#4737FF"
                             : updateButton.hovered ? "#EBF1FF" : "#FFFFFF"
                    }
                    contentItem: Text {
                        text: qsTr("检查更新")
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        font.family: root.fontFamily
                        font.pixelSize: 14
                        color: updateButton.pressed ? "#FFFFFF" : "#4737FF"
                    }
                    onClicked: setting.checkUpdate()

                    FocusRing {}
                }
            }
        }

        Rectangle {
            id: usageRow
            anchors.top: versionRow.bottom
            anchors.topMargin: 3
            anchors.left: parent.left
            anchors.leftMargin: 20
            width: parent.width - 20
            height: 36
            color: "transparent"

            Text {
                x: 8
                y: 12
                text: qsTr("AI模型使用次数")
                font.family: root.fontFamily
                font.pixelSize: 14
                color: "#0A0A0A"
                lineHeight: 27
                lineHeightMode: Text.FixedHeight
            }
            Rectangle {
                id: track
                objectName: "usageTrack"
                anchors.right: parent.right
                anchors.rightMargin: 40
                y: 10
                width: 250
                height: 16
                radius: 8
                color: "#DBE3FF"
                Accessible.role: Accessible.ProgressBar
                Accessible.name: qsTr("AI模型使用次数")

                Rectangle {
                    objectName: "usageFill"
                    height: parent.height
                    radius: parent.radius
                    width: root.usageShare * track.width
                    visible: width > 0
                    gradient: Gradient {
                        orientation: Gradient.Horizontal
                        GradientStop { position: 0.0; color: "#4737FF" }
                        GradientStop { position: 0.3; color: "#B863FF" }
                        GradientStop { position: 0.6; color: "#14F1FF" }
                        GradientStop { position: 1.0; color: "#80FF61" }
                    }
                }
                Text {
                    id: totalText
                    objectName: "usageTotal"
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: "/" + setting.totalCount
                    font.family: root.fontFamily
                    font.pixelSize: 12
                    color: "#0A0A0A"
                }
                Text {
                    objectName: "usageUsed"
                    anchors.right: totalText.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: setting.usedNumCount
                    font.family: root.fontFamily
                    font.pixelSize: 12
                    color: "#4C4CFF"
                }
            }
        }

        Rectangle {
            id: autoStartRow
            anchors.top: usageRow.bottom
            anchors.topMargin: 3
            anchors.left: parent.left
            anchors.leftMargin: 20
            width: parent.width - 20
            height: 36
            color: "transparent"

            Text {
                x: 8
                y: 12
                text: qsTr("开机自启动")
                font.family: root.fontFamily
                font.pixelSize: 14
                color: "#0A0A0A"
                lineHeight: 27
                lineHeightMode: Text.FixedHeight
            }
            CustomToggleButton {
                id: autoStartSwitch
                objectName: "autoStartToggle"
                Accessible.name: qsTr("开机自启动")
                anchors.right: parent.right
                anchors.rightMargin: 40
                y: 12
                checked: setting.startUpAuto
                // A click breaks the binding; it is written through and bound again, so the
                // switch keeps showing what the settings hold.
                onToggled: {
                    setting.startUpAuto = checked
                    checked = Qt.binding(function() { return setting.startUpAuto })
                }
            }
        }

        Rectangle {
            id: modelRow
            anchors.top: autoStartRow.bottom
            anchors.topMargin: 3
            anchors.left: parent.left
            anchors.leftMargin: 20
            width: parent.width - 20
            height: 36
            color: "transparent"

            Text {
                x: 8
                y: 12
                text: qsTr("设置默认AI模型")
                font.family: root.fontFamily
                font.pixelSize: 14
                color: "#0A0A0A"
                lineHeight: 27
                lineHeightMode: Text.FixedHeight
            }
            SettingsModelBox {
                objectName: "defaultModelBox"
                Accessible.name: qsTr("设置默认AI模型")
                Accessible.role: Accessible.ComboBox
                anchors.right: parent.right
                anchors.rightMargin: 40
                y: 2
                fontFamily: root.fontFamily
            }
        }
    }
}
