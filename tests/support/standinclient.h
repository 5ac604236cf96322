#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QString>

// Talks to the maker-service stand-in directly, independent of the client under test: raw
// and signed POSTs, its test controls and its request log. Calls block until the answer.
class StandInClient
{
public:
    explicit StandInClient(const QString& baseUrl);

    // Trusts this certificate for an HTTPS stand-in (only for this helper's own requests).
    void trust(const QList<QSslCertificate>& certificates);

    struct Answer
    {
        int status = 0; // HTTP status, 0 when the transfer failed
        QByteArray body;
    };

    Answer post(const QString& path, const QByteArray& body);
    Answer get(const QString& path);

    // A body signed the way the service expects.
    static QByteArray signedBody(const QByteArray& paramsText);
    static QByteArray signature(const QByteArray& paramsText);

    // Signed count request for a serial; returns the reply object.
    QJsonObject count(const QString& path, const QString& deviceSn);

    bool setScenario(const QByteArray& name);
    QJsonArray requests(); // the stand-in's log of "/v1/ai/api/..." requests
    // How many logged requests went to path with bodyPart in their body.
    int requestCount(const QString& path, const QString& bodyPart = QString());

private:
    QNetworkRequest request(const QString& path) const;
    Answer wait(class QNetworkReply* reply);

    QString base;
    QNetworkAccessManager manager;
    QList<QSslCertificate> trusted;
};
