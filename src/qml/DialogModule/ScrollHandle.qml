import QtQuick 2.15
import QtQuick.Controls 2.15

// The slim scroll bar of the chat lists (and of code blocks and tables, sideways): a 4 px
// handle, shown while there is something to scroll.
ScrollBar {
    id: bar

    readonly property bool scrollable: size < 1.0

    policy: scrollable ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    padding: 0
    implicitWidth: 4
    implicitHeight: 4
    contentItem: Rectangle {
        implicitWidth: 4
        implicitHeight: 4
        radius: 2
        color: theme.item.scrollHandle
    }
    background: Item {}
}
