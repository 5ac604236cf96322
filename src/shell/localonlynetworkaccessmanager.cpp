#include "shell/localonlynetworkaccessmanager.h"

#include "core/logging.h"
#include "shell/refusednetworkreply.h"

#include <QDebug>
#include <QNetworkRequest>

LocalOnlyNetworkAccessManager::LocalOnlyNetworkAccessManager(QObject* parent)
    : QNetworkAccessManager(parent)
{ }

bool LocalOnlyNetworkAccessManager::isAllowed(const QUrl& url)
{
    return url.scheme() == QLatin1String("qrc") || url.isLocalFile();
}

QNetworkReply* LocalOnlyNetworkAccessManager::createRequest(Operation operation,
                                                            const QNetworkRequest& request,
                                                            QIODevice* outgoingData)
{
    if (isAllowed(request.url()))
        return QNetworkAccessManager::createRequest(operation, request, outgoingData);
    qCInfo(lcShell) << "Refused a network request from the views:"
                    << request.url().toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery);
    return new RefusedNetworkReply(operation, request, this);
}
