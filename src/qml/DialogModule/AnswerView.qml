import QtQuick 2.15
import Lumora.Chat 1.0

// An answer (or its reasoning) that the user can select and copy as one text. It is shown in
// pieces, one item each: runs of text, code blocks with their language, a copy button and a
// sideways scroll, and tables that scroll sideways when they are wider than the answer. While
// an answer streams in only its last piece changes; the view stacks the pieces and selects
// across them. Uses `theme` and `fontManager` of the enclosing view.
RichTextView {
    id: view

    property color color: theme.item.colorB1

    Accessible.role: Accessible.StaticText

    Repeater {
        model: view.segments

        // The pieces' look comes from the view; which item a piece needs, from its kind.
        delegate: Loader {
            id: slot

            readonly property string pieceSource: model.source
            readonly property string pieceLanguage: model.language
            readonly property int pieceListStart: model.listStart

            width: view.width
            sourceComponent: model.kind === "code" ? codeBlock
                : model.kind === "table" ? tableBlock : textBlock

            Component {
                id: textBlock

                AnswerPiece {
                    width: slot.width
                    availableWidth: slot.width
                    kind: "text"
                    color: view.color
                    source: slot.pieceSource
                    listStart: slot.pieceListStart
                }
            }

            Component {
                id: codeBlock

                AnswerCodeBlock {
                    width: slot.width
                    source: slot.pieceSource
                    language: slot.pieceLanguage
                }
            }

            Component {
                id: tableBlock

                AnswerTable {
                    width: slot.width
                    color: view.color
                    source: slot.pieceSource
                }
            }
        }
    }
}
