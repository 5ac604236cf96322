#include "shell/localonlynetworkaccessmanager.h"

#include <QDebug>
#include <QNetworkRequest>

namespace {

// No handler is registered for this scheme, so the base class answers a request for it with a
// "protocol unknown" error reply without opening any connection.
const QString RefusedScheme = QStringLiteral("lumora-refused");

} // namespace

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
    qInfo() << "Refused a network request from the views:"
            << request.url().toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery);
    QNetworkRequest refused(request);
    QUrl target;
    target.setScheme(RefusedScheme);
    target.setPath(QStringLiteral("refused"));
    refused.setUrl(target);
    return QNetworkAccessManager::createRequest(operation, refused, nullptr);
}
