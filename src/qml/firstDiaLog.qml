import QtQuick 2.15
import QtQuick.Controls 2.15
import "Controls"
import "FirstRun"

// The agreement window of the first start: the user accepts the user agreement and the privacy
// policy, or leaves the application. "agree" only counts with the box ticked.
ApplicationWindow {
    id: root

    readonly property QtObject colors: theme.item
    readonly property string fontFamily: fontManager.item ? fontManager.item.oppoSansM.name : ""
    readonly property color colorB1: colors ? colors.colorB1 : "#0A0A0A"
    readonly property color colorB3: colors ? colors.colorB3 : "#383838"
    readonly property color colorW1: colors ? colors.colorW1 : "#FFFFFF"
    readonly property color colorW5: colors ? colors.colorW5 : "#B0B0B0"
    readonly property color themeZeroColor: colors ? colors.themeZeroColor : "#4737FF"
    readonly property color themeOneColor6: colors ? colors.themeOneColor6 : "#EBF1FF"

    signal closeWindow()

    function openPage(path) {
        window.openWebsite(window.serviceUrl + path)
    }

    width: 600
    height: 178
    flags: Qt.Window | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    color: "transparent"
    title: qsTr("user Agreement and Privacy Policy")
    // Leaving the agreement any other way than "agree" (the window manager's close) refuses it,
    // as "cancel" does: the application never quits on its own when a window closes.
    onClosing: {
        if (!window.firstStart)
            Qt.quit()
    }

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
            onCloseClicked: Qt.quit()
        }

        Rectangle {
            id: agreementRow
            anchors.top: header.bottom
            anchors.topMargin: 12
            anchors.left: parent.left
            // Inside the window's 1 px border, which the row would otherwise cover.
            anchors.leftMargin: 1
            width: 484
            height: 24
            color: root.colorW1

            CustomRadioButton2 {
                id: agreeCheck
                objectName: "agreeCheck"
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                checkable: true
                autoExclusive: false
                checked: window.agreePolicy
                Accessible.name: qsTr("I have read and agreed to") + " " + userAgreement.text
                    + privacyPolicy.text
                onClicked: window.agreePolicy = !window.agreePolicy
            }

            Text {
                id: readAndAgreed
                anchors.left: agreeCheck.right
                anchors.leftMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("I have read and agreed to")
                font.family: root.fontFamily
                font.pixelSize: 14
                color: root.colorB3
            }

            LinkText {
                id: userAgreement
                objectName: "userAgreementLink"
                anchors.left: readAndAgreed.right
                anchors.leftMargin: 2
                anchors.baseline: readAndAgreed.baseline
                text: qsTr("User Agreement") + "、"
                font.family: root.fontFamily
                color: root.themeZeroColor
                onActivated: root.openPage("/static/user-agreement.html")
            }

            LinkText {
                id: privacyPolicy
                objectName: "privacyPolicyLink"
                anchors.left: userAgreement.right
                anchors.leftMargin: 2
                anchors.baseline: readAndAgreed.baseline
                text: qsTr("Privacy Policy")
                font.family: root.fontFamily
                color: root.themeZeroColor
                onActivated: root.openPage("/static/privacy-policy.html")
            }
        }

        Row {
            id: buttons
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 20
            width: 208
            height: 38
            spacing: 12

            DialogButton {
                id: cancelButton
                objectName: "cancelButton"
                text: qsTr("cancel")
                fontFamily: root.fontFamily
                fieldColor: root.themeOneColor6
                labelColor: root.colorB3
                onClicked: {
                    console.log("cancel")
                    Qt.quit()
                }
            }

            DialogButton {
                id: agreeButton
                objectName: "agreeButton"
                text: qsTr("agree")
                fontFamily: root.fontFamily
                fieldColor: root.themeOneColor6
                labelColor: window.agreePolicy ? root.colorB3 : root.colorW5
                onClicked: {
                    console.log("agree")
                    if (window.agreePolicy) {
                        window.setFirstStart(true)
                        root.closeWindow()
                    }
                }
            }
        }
    }
}
