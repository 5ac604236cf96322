#pragma once

#include <QNetworkAccessManager>

// A network access manager that serves only what ships with the program or lies on disk:
// "qrc:" and "file:" requests go through; every other request gets an error reply at once and
// never reaches the network. A stored answer or title that carries remote markup (an <img>
// pointing anywhere) therefore cannot make the chat view fetch anything.
class LocalOnlyNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit LocalOnlyNetworkAccessManager(QObject* parent = nullptr);

    static bool isAllowed(const QUrl& url);

protected:
    QNetworkReply* createRequest(Operation operation, const QNetworkRequest& request,
                                 QIODevice* outgoingData) override;
};
