#pragma once

#include <QNetworkReply>

// The answer to a request the views may not make: finished at once with
// ContentAccessDenied, no data, no connection ever opened.
class RefusedNetworkReply : public QNetworkReply
{
    Q_OBJECT

public:
    RefusedNetworkReply(QNetworkAccessManager::Operation operation, const QNetworkRequest& request,
                        QObject* parent = nullptr);

    void abort() override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
};
