import QtQuick 2.15

// Read-only message text that the user can select and copy (a plain Text cannot be selected).
// `m_contentWidth` is the width of the text on one line, for sizing message bubbles; it is
// measured with the same font and text format as the edit shows. A long answer that streams in
// turns `measured` off: measuring it and naming it for screen readers would lay out and export
// the whole text again at every change (screen readers still read it through the edit itself).
TextEdit {
    id: edit

    property bool measured: true
    readonly property int m_contentWidth: Math.ceil(measure.implicitWidth)

    readOnly: true
    selectByMouse: true
    selectByKeyboard: true
    persistentSelection: false
    activeFocusOnPress: true
    color: theme.item.colorB1
    selectionColor: "#3367D1"
    selectedTextColor: "white"
    font.pixelSize: 14
    font.family: fontManager.item.oppoSansM.name
    verticalAlignment: TextEdit.AlignVCenter
    horizontalAlignment: TextEdit.AlignLeft
    wrapMode: TextEdit.Wrap
    Accessible.role: Accessible.StaticText
    Accessible.name: measured ? getText(0, length) : ""

    Text {
        id: measure
        visible: false
        font: edit.font
        textFormat: edit.textFormat
        text: edit.measured ? edit.text : ""
    }
}
