import QtQuick 2.0

Rectangle {
    width: 50
    height: 50
    color: "steelblue"
    RotationAnimation on rotation {
        from: 0
        to: 360
        duration: 500
        loops: Animation.Infinite
    }
}
