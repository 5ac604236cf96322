import QtQuick 2.15
import Lumora.Chat 1.0

// A rich text (an answer, its reasoning) that the user can select and copy as one text. It is
// shown in pieces of whole blocks, one edit each, so that while a long answer streams in only
// its last piece is laid out and painted again; the view stacks the pieces and selects across
// them.
RichTextView {
    id: view

    property color color: theme.item.colorB1

    Accessible.role: Accessible.StaticText

    Repeater {
        model: view.segments

        delegate: SelectableText {

            width: view.width
            measured: false
            textFormat: TextEdit.RichText
            color: view.color
            activeFocusOnPress: false
            text: model.html
        }
    }
}
