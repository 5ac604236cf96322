import QtQuick 2.0

// Plain bindings, a binding through a component of another file, and a property typed with
// that component, to which an object loaded later is assigned.
Item {
    width: 100
    height: 100
    property int doubled: holder.n * 2
    property int childValue: child.value
    property Child typed: child
    property int loadedValue: loader.item ? loader.item.value : -1
    property bool assignOk: false

    function loadChild() {
        loader.source = "Child.qml"
    }

    function assignLoaded() {
        try {
            typed = loader.item
            assignOk = typed === loader.item
        } catch (e) {
            assignOk = false
        }
    }

    Child {
        id: child
    }

    Loader {
        id: loader
    }
}
