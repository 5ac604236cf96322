import QtQuick 2.0

Item {
    property int value: holder.n + 1
}
