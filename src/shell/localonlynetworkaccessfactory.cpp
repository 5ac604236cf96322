#include "shell/localonlynetworkaccessfactory.h"

#include "shell/localonlynetworkaccessmanager.h"

QNetworkAccessManager* LocalOnlyNetworkAccessFactory::create(QObject* parent)
{
    return new LocalOnlyNetworkAccessManager(parent);
}

LocalOnlyNetworkAccessFactory* LocalOnlyNetworkAccessFactory::instance()
{
    static LocalOnlyNetworkAccessFactory factory;
    return &factory;
}
