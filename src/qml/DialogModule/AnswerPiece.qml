import QtQuick 2.15
import Lumora.Chat 1.0

// One piece of an answer in the chat's font and the theme's colours.
RichTextPiece {
    font.family: fontManager.item.oppoSansM.name
    font.pixelSize: 14
    color: theme.item.colorB1
    markerColor: theme.item.colorW6
    linkColor: theme.item.linkColor
    codeBackground: theme.item.codeInlineColor
    lineColor: theme.item.tableLineColor
    headerColor: theme.item.tableHeaderColor
    selectionColor: theme.item.selectionColor
    selectedTextColor: "white"
    dark: theme.item.dark
}
