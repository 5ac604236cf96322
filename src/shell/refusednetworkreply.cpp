#include "shell/refusednetworkreply.h"

#include <QMetaObject>

RefusedNetworkReply::RefusedNetworkReply(QNetworkAccessManager::Operation operation,
                                         const QNetworkRequest& request, QObject* parent)
    : QNetworkReply(parent)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    open(QIODevice::ReadOnly);
    setError(ContentAccessDenied,
             tr("Network access is disabled here: %1")
                 .arg(request.url().toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery)));
    setFinished(true);
    // Whoever made the request connects to the reply first: report on the next turn.
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit errorOccurred(error());
            emit finished();
        },
        Qt::QueuedConnection);
}

void RefusedNetworkReply::abort() { }

qint64 RefusedNetworkReply::bytesAvailable() const
{
    return 0;
}

qint64 RefusedNetworkReply::readData(char*, qint64)
{
    return -1;
}
