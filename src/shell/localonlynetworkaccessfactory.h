#pragma once

#include <QQmlNetworkAccessManagerFactory>

// Gives a QML engine network access managers that refuse everything but "qrc:" and "file:"
// (LocalOnlyNetworkAccessManager). The factory holds no state; one shared instance lives for
// the whole process, so it outlives every engine it is installed on.
class LocalOnlyNetworkAccessFactory : public QQmlNetworkAccessManagerFactory
{
public:
    QNetworkAccessManager* create(QObject* parent) override;

    static LocalOnlyNetworkAccessFactory* instance();
};
