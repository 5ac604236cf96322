import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/Controls"

// A 20x20 (or larger) button drawn from one image per state. Unset state images fall back to
// the normal one, so a button with fewer states needs no extra files.
AbstractButton {
    id: control

    property string normalSource
    property string hoveredSource: normalSource
    property string pressedSource: hoveredSource
    property string disabledSource: normalSource
    property string checkedSource: pressedSource
    property string checkedHoveredSource: checkedSource
    property int iconSize: Math.min(width, height)

    implicitWidth: 20
    implicitHeight: 20
    padding: 0
    // Tab reaches it; a click leaves the focus where it was (the input keeps it).
    focusPolicy: Qt.TabFocus
    hoverEnabled: true
    Accessible.role: checkable ? Accessible.CheckBox : Accessible.Button

    contentItem: Item {}

    background: Image {
        anchors.centerIn: parent
        width: control.iconSize
        height: control.iconSize
        sourceSize: Qt.size(control.iconSize, control.iconSize)
        smooth: true
        source: theme.item.icon(!control.enabled ? control.disabledSource
            : control.pressed ? control.pressedSource
            : control.checked ? (control.hovered ? control.checkedHoveredSource : control.checkedSource)
            : control.hovered ? control.hoveredSource
            : control.normalSource)
    }

    FocusRing { ringRadius: width / 2 }
}
