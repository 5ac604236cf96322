import QtQuick 2.15

// The dark palette of the chat view (the tray menu has DarkTheme.qml): the same names as
// LightTheme.qml, surfaces dark and text light; the accents keep their hue.
QtObject {
    property color colorB1: "#ECEDEF"
    property color colorB2: "#D9DADD"
    property color colorB3: "#C6C8CC"
    property color colorB4: "#B9BBC0"
    property color colorB5: "#ABADB2"
    property color colorB6: "#9C9EA3"
    property color colorB7: "#8A8C91"
    property color colorW1: "#1E2024"
    property color colorW2: "#2A2C31"
    property color colorW3: "#3B3D43"
    property color colorW4: "#55585F"
    property color colorW5: "#8A8D94"
    property color colorW6: "#A3A6AD"
    property color colorW7: "#B8BBC1"
    property color themeZeroColor: "#4737FF"
    property color auxiliaryColor: "#B863FF"
    property color auxiliaryColor2: "#14F1FF"
    property color auxiliaryColor3: "#80FF61"
    property color themeOneColor1: "#8E9BFF"
    property color themeOneColor2: "#7A86F0"
    property color themeOneColor3: "#5E69C8"
    property color themeOneColor4: "#4A539E"
    property color themeOneColor5: "#3A4270"
    property color themeOneColor6: "#2C3250"
    // Something runs out: the last questions of the allowance.
    property color warningColor: "#FF8A4C"
    property color textColor: "#FFFFFF"
    // Answers: selected text, links, code blocks and inline code, tables; the highlighting
    // theme of code follows `dark`.
    property bool dark: true
    property color selectionColor: "#3D6FD6"
    property color linkColor: "#8AB4FF"
    property color codeBlockColor: "#16181B"
    property color codeInlineColor: "#30333A"
    property color tableLineColor: "#3B3D43"
    property color tableHeaderColor: "#2A2C31"
    // Read by the tray menu: text, surface, pressed and hovered rows, window background.
    property color color1: "#FFFFFF"
    property color color7: "#161719"
    property color themeOneColor: "#97B9FF"
    property color themeOneColor8: "#4A556E"
    property color backgroundColor: "#000000"
    property string macro_rBtn_unchecked: "qrc:/Image/Icon/rBtn_unchecked_dark.svg"
    // The chat view's scroll handles.
    property color scrollHandle: "#5F626A"

    // An icon as this theme shows it: its dark grey ink lightened (DarkIconProvider).
    function icon(source) {
        return source.startsWith("qrc:/") ? "image://darkicon/" + source.slice(5) : source
    }
}
