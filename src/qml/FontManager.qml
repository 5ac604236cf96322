import QtQuick 2.15

// The families the views ask for by role. Each resolves to the platform's UI font, which the
// system's font configuration completes for Chinese (the Noto CJK family on Linux, the
// system UI font on Windows), so no font file ships with the program. The views read
// `fontManager.item.oppoSansM.name`, hence one object with a `name` per role.
QtObject {
    id: fonts

    readonly property string uiFamily: Qt.application.font.family

    property QtObject oppoSansB: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject oppoSansH: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject oppoSansL: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject oppoSansM: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject oppoSansR: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject barlowBoldItalic: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject barlowBlackItalic: QtObject { readonly property string name: fonts.uiFamily }
    property QtObject barlowMedium: QtObject { readonly property string name: fonts.uiFamily }
}
