#include "service/ovseverhandler.h"

#include "core/endpoints.h"
#include "core/logging.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QUrl>

namespace {

// Shared with the service; it only ever travels inside the signature.
const char SigningSalt[] = "t4Qe&8r#MvZkLpXw";

const char PlatformTencent[] = "tencent";

} // namespace

OvSeverHandler::OvSeverHandler(QObject* parent)
    : QObject(parent)
    , manager(new QNetworkAccessManager(this))
    , serviceBaseUrl(Endpoints::serviceBaseUrl())
    , signingSalt(QString::fromLatin1(SigningSalt))
    , clock([] { return QDateTime::currentSecsSinceEpoch(); })
{
    qRegisterMetaType<OvSeverHandler::OvApiType>("OvSeverHandler::OvApiType");
    qRegisterMetaType<QList<QSslError>>("QList<QSslError>");
    connect(manager, &QNetworkAccessManager::finished, this, &OvSeverHandler::onReplyFinished);
    connect(manager, &QNetworkAccessManager::sslErrors, this, &OvSeverHandler::sslErrors);
}

OvSeverHandler::~OvSeverHandler() = default;

void OvSeverHandler::requestApiList()
{
    QJsonObject params;
    params.insert(QStringLiteral("ts"), clock());
    post(API_LIST, params);
}

void OvSeverHandler::addCount(const QString& deviceSn)
{
    QJsonObject params;
    params.insert(QStringLiteral("deviceSn"), deviceSn);
    params.insert(QStringLiteral("ts"), clock());
    post(API_ADD_COUNT, params);
}

void OvSeverHandler::getCount(const QString& deviceSn)
{
    QJsonObject params;
    params.insert(QStringLiteral("deviceSn"), deviceSn);
    params.insert(QStringLiteral("ts"), clock());
    post(API_GET_COUNT, params);
}

QVariantMap OvSeverHandler::apiInfo(int mode)
{
    const QVariantMap info = storedApiInfo(mode);
    if (info.isEmpty())
        requestApiList();
    return info;
}

QVariantMap OvSeverHandler::storedApiInfo(int mode) const
{
    return apiMap.value(mode).toMap();
}

int OvSeverHandler::modeIndex(bool deepThink, bool onlineSearch)
{
    return (deepThink ? 1 : 0) + (onlineSearch ? 2 : 0);
}

void OvSeverHandler::setClock(std::function<qint64()> clock)
{
    this->clock = std::move(clock);
}

// The service reads the params text exactly as sent and checks the signature over those
// bytes, so the body is deliberately not percent-encoded.
void OvSeverHandler::post(OvApiType type, const QJsonObject& params)
{
    const QByteArray paramsText = QJsonDocument(params).toJson(QJsonDocument::Compact);
    const QByteArray body = QByteArrayLiteral("params=") + paramsText + QByteArrayLiteral("&salt=")
        + signature(paramsText);
    QNetworkRequest request(QUrl(serviceBaseUrl + pathOf(type)));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    // A request that stalls must end: Qt keeps only six connections per host, and six stalled
    // requests would leave every later one waiting for ever.
    request.setTransferTimeout(transferTimeoutMs);
    QNetworkReply* reply = manager->post(request, body);
    // The service's answers are a few kilobytes; a huge body is cut off, not held in memory.
    const auto limit = [reply] {
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > MaxReplyBytes || reply->bytesAvailable() > MaxReplyBytes) {
            reply->setProperty(TooLargeProperty, true);
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, limit);
    connect(reply, &QNetworkReply::readyRead, reply, limit);
}

void OvSeverHandler::setTransferTimeout(int milliseconds)
{
    transferTimeoutMs = milliseconds;
}

QByteArray OvSeverHandler::signature(const QByteArray& paramsText) const
{
    return QCryptographicHash::hash(paramsText + signingSalt.toUtf8(), QCryptographicHash::Md5)
        .toHex()
        .toUpper();
}

void OvSeverHandler::onReplyFinished(QNetworkReply* reply)
{
    const OvApiType type = typeOfUrl(reply->url().toString());
    reply->deleteLater();
    if (reply->property(TooLargeProperty).toBool()) {
        qCWarning(lcService) << "Service reply larger than" << MaxReplyBytes << "bytes, dropped";
        emit sigAIApiReply(type, false, tr("msg error"));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        emit sigAIApiReply(type, false, tr("Network connection error"));
        qCDebug(lcService) << "Request failed for" << reply->errorString();
        return;
    }
    handleReplyBody(type, reply->readAll());
}

void OvSeverHandler::handleReplyBody(OvApiType type, const QByteArray& body)
{
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    // A bare array or scalar is no answer of the service; reading it as an object would turn
    // it into an empty success (a count of 0 of 0).
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        emit sigAIApiReply(type, false, tr("msg error"));
        return;
    }
    const QJsonObject root = document.object();
    const int code = root.value(QStringLiteral("code")).toInt(0);
    const QString msg = root.value(QStringLiteral("msg")).toString();
    const QJsonValue data = root.value(QStringLiteral("data"));
    switch (type) {
    case API_ADD_COUNT:
    case API_GET_COUNT:
        handleCountReply(type, code, msg, data.toObject());
        break;
    case API_LIST:
        handleListReply(type, code, msg, data.toArray());
        break;
    case API_NONE:
        break;
    }
}

void OvSeverHandler::sslErrors(QNetworkReply*, QList<QSslError> errors)
{
    QStringList texts;
    for (const QSslError& error : errors)
        texts << error.errorString();
    // Never ignored: the reply then fails and is reported as a connection error.
    qCDebug(lcService) << "errorString:" << texts.join(QLatin1Char('\n'));
}

void OvSeverHandler::handleCountReply(OvApiType type, int code, const QString& msg,
                                      const QJsonObject& data)
{
    if (code != 0) {
        emit sigAIApiReply(type, false, msg);
        return;
    }
    const int maxCount = data.value(QStringLiteral("maxCount")).toInt(0);
    const int usedCount = data.value(QStringLiteral("usedCount")).toInt(0);
    qCDebug(lcService) << "已使用次数为" << usedCount << "总次数为" << maxCount;
    emit sigAICountValue(usedCount, maxCount);
    emit sigAIApiReply(type, true, msg);
}

void OvSeverHandler::handleListReply(OvApiType type, int code, const QString& msg,
                                     const QJsonArray& data)
{
    if (code != 0) {
        emit sigAIApiReply(type, false, msg);
        return;
    }
    for (const QJsonValue& category : data) {
        const QJsonArray entries = category.toObject().value(QStringLiteral("apiList")).toArray();
        for (const QJsonValue& value : entries) {
            const QJsonObject entry = value.toObject();
            if (entry.value(QStringLiteral("platform")).toString()
                != QLatin1String(PlatformTencent))
                continue;
            const QVariantMap info = apiInfoFromEntry(entry);
            apiMap.insert(modeIndex(info.value(QStringLiteral("deepThink")).toBool(),
                                    info.value(QStringLiteral("onlineSearch")).toBool()),
                          info);
        }
    }
    if (apiMap.isEmpty())
        emit sigAIApiReply(API_LIST, false, QStringLiteral("API Data error"));
    else
        emit sigAIApiReply(API_LIST, true, msg);
}

OvSeverHandler::OvApiType OvSeverHandler::typeOfUrl(const QString& url)
{
    for (OvApiType type : {API_LIST, API_ADD_COUNT, API_GET_COUNT}) {
        if (url.contains(pathOf(type)))
            return type;
    }
    return API_NONE;
}

QString OvSeverHandler::pathOf(OvApiType type)
{
    switch (type) {
    case API_LIST:
        return QStringLiteral("/v1/ai/api/list");
    case API_ADD_COUNT:
        return QStringLiteral("/v1/ai/api/addCount");
    case API_GET_COUNT:
        return QStringLiteral("/v1/ai/api/getCount");
    case API_NONE:
        break;
    }
    return {};
}

QVariantMap OvSeverHandler::apiInfoFromEntry(const QJsonObject& entry)
{
    QStringList models;
    for (const QJsonValue& model : entry.value(QStringLiteral("model")).toArray())
        models << model.toVariant().toString();
    QVariantMap info;
    info.insert(QStringLiteral("platform"), entry.value(QStringLiteral("platform")).toString());
    info.insert(QStringLiteral("apiKey"), entry.value(QStringLiteral("apiKey")).toString());
    info.insert(QStringLiteral("apiUrl"), entry.value(QStringLiteral("apiUrl")).toString());
    info.insert(QStringLiteral("model"), models);
    for (const char* flag : {"free", "deepThink", "onlineSearch"})
        info.insert(QLatin1String(flag), entry.value(QLatin1String(flag)).toBool(false));
    return info;
}
