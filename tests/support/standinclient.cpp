#include "standinclient.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QUrl>

StandInClient::StandInClient(const QString& baseUrl)
    : base(baseUrl)
{ }

void StandInClient::trust(const QList<QSslCertificate>& certificates)
{
    trusted = certificates;
}

QNetworkRequest StandInClient::request(const QString& path) const
{
    QNetworkRequest request(QUrl(base + path));
    if (!trusted.isEmpty()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates(configuration.caCertificates() + trusted);
        request.setSslConfiguration(configuration);
    }
    return request;
}

StandInClient::Answer StandInClient::post(const QString& path, const QByteArray& body)
{
    QNetworkRequest request = this->request(path);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    return wait(manager.post(request, body));
}

StandInClient::Answer StandInClient::get(const QString& path)
{
    return wait(manager.get(request(path)));
}

QByteArray StandInClient::signature(const QByteArray& paramsText)
{
    return QCryptographicHash::hash(paramsText + QByteArrayLiteral("t4Qe&8r#MvZkLpXw"),
                                    QCryptographicHash::Md5)
        .toHex()
        .toUpper();
}

QByteArray StandInClient::signedBody(const QByteArray& paramsText)
{
    return QByteArrayLiteral("params=") + paramsText + QByteArrayLiteral("&salt=")
        + signature(paramsText);
}

QJsonObject StandInClient::count(const QString& path, const QString& deviceSn)
{
    const QJsonObject params {{QStringLiteral("deviceSn"), deviceSn},
                              {QStringLiteral("ts"), 1700000000}};
    const Answer answer =
        post(path, signedBody(QJsonDocument(params).toJson(QJsonDocument::Compact)));
    return QJsonDocument::fromJson(answer.body).object();
}

bool StandInClient::setScenario(const QByteArray& name)
{
    return post(QStringLiteral("/dev/scenario"), name).status == 200;
}

QJsonArray StandInClient::requests()
{
    return QJsonDocument::fromJson(get(QStringLiteral("/dev/requests")).body).array();
}

int StandInClient::requestCount(const QString& path, const QString& bodyPart)
{
    int count = 0;
    for (const QJsonValue& entry : requests()) {
        const QJsonObject request = entry.toObject();
        if (request.value(QStringLiteral("path")).toString() == path
            && request.value(QStringLiteral("body")).toString().contains(bodyPart))
            ++count;
    }
    return count;
}

StandInClient::Answer StandInClient::wait(QNetworkReply* reply)
{
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    reply->deleteLater();
    return answer;
}
