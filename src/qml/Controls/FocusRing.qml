import QtQuick 2.15

// The mark of the control that the keyboard (Tab) reached: a ring in the accent colour just
// around it. A click does not show it (visualFocus), so mouse users never see it.
Rectangle {
    property Item control: parent
    property real ringRadius: 4

    anchors.fill: parent
    anchors.margins: -2
    radius: ringRadius
    color: "transparent"
    border.width: 2
    border.color: "#4737FF"
    visible: control && control.visualFocus
    z: 10
}
