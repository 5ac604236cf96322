import QtQuick 2.15

// The light palette: the chat view, its panels and the first-run windows bind to it.
QtObject {
    property color colorB1: "#0A0A0A"
    property color colorB2: "#292929"
    property color colorB3: "#383838"
    property color colorB4: "#3D3D3D"
    property color colorB5: "#454545"
    property color colorB6: "#4F4F4F"
    property color colorB7: "#5D5D5D"
    property color colorW1: "#FFFFFF"
    property color colorW2: "#F4F6F7"
    property color colorW3: "#E7E7E7"
    property color colorW4: "#D1D1D1"
    property color colorW5: "#B0B0B0"
    property color colorW6: "#888888"
    property color colorW7: "#6D6D6D"
    property color themeZeroColor: "#4737FF"
    property color auxiliaryColor: "#B863FF"
    property color auxiliaryColor2: "#14F1FF"
    property color auxiliaryColor3: "#80FF61"
    property color themeOneColor1: "#4C4CFF"
    property color themeOneColor2: "#6E79FF"
    property color themeOneColor3: "#97A9FF"
    property color themeOneColor4: "#BECBFF"
    property color themeOneColor5: "#DBE3FF"
    property color themeOneColor6: "#EBF1FF"
    // Something runs out: the last questions of the allowance.
    property color warningColor: "#D9480F"
    property color textColor: "#FFFFFF"
    // Answers: selected text, links, code blocks and inline code, tables; the highlighting
    // theme of code follows `dark`.
    property bool dark: false
    property color selectionColor: "#3367D1"
    property color linkColor: "#3367D1"
    property color codeBlockColor: "#F6F8FA"
    property color codeInlineColor: "#EEF1F5"
    property color tableLineColor: "#E4E7EC"
    property color tableHeaderColor: "#F4F6F8"
    // Read by the tray menu: text, surface, pressed and hovered rows, window background.
    property color color1: "#0A0A0A"
    property color color7: "#FFFFFF"
    property color themeOneColor: "#BECBFF"
    property color themeOneColor8: "#EBF1FF"
    property color backgroundColor: "#F4F6F7"
    property string macro_rBtn_unchecked: "qrc:/Image/Icon/rBtn_unchecked_day.svg"
    // The chat view's scroll handles.
    property color scrollHandle: "#D7E0F3"

    // An icon as this theme shows it: as drawn (the icons are drawn for light surfaces).
    function icon(source) {
        return source
    }
}
