#include "app/qmltypes.h"

#include <QUrl>
#include <QtQml>

void QmlTypes::registerQmlTypes()
{
    qmlRegisterSingletonType(QUrl(QStringLiteral("qrc:/Styles/FontManager.qml")), "Orvik.Styles", 1,
                             0, "Fonts");
    const char* effects = "Orvik.GraphicalEffects";
    qmlRegisterType(QUrl(QStringLiteral("qrc:/GraphicalEffects/OpacityMaskEngine.qml")), effects, 1,
                    0, "OpacityMask");
    qmlRegisterType(QUrl(QStringLiteral("qrc:/GraphicalEffects/DropShadowEngine.qml")), effects, 1,
                    0, "DropShadow");
    qmlRegisterType(QUrl(QStringLiteral("qrc:/GraphicalEffects/InnerShadowEngine.qml")), effects, 1,
                    0, "InnerShadow");
    qmlRegisterType(QUrl(QStringLiteral("qrc:/GraphicalEffects/FastBlurEngine.qml")), effects, 1, 0,
                    "FastBlur");
    // Documents written for the Qt 6 compatibility module still import on Qt 5.
    qmlRegisterModule("Qt5Compat.GraphicalEffects", 6, 0);
}
