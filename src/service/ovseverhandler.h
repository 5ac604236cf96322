#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSslError>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Client of the maker's web service: fetches the provider records (one per conversation
// mode) and reports and reads the AI usage count of a keyboard. Requests are signed
// fire-and-forget POSTs; every outcome comes back through the two signals.
class OvSeverHandler : public QObject
{
    Q_OBJECT

public:
    enum OvApiType {
        API_NONE = -1,
        API_LIST = 0,
        API_ADD_COUNT = 1,
        API_GET_COUNT = 2,
    };
    Q_ENUM(OvApiType)

    explicit OvSeverHandler(QObject* parent = nullptr);
    ~OvSeverHandler() override;

    void requestApiList();
    void addCount(const QString& deviceSn);
    void getCount(const QString& deviceSn);

    // The provider record of a mode (0..3). An empty result also asks for the list again,
    // so that the next question can find its record.
    QVariantMap apiInfo(int mode);
    // The same record without asking for the list; for callers that read all modes after
    // every list reply and would otherwise loop on a mode the service does not offer.
    QVariantMap storedApiInfo(int mode) const;

    // The key of the provider records: 0 normal, 1 deep thinking, 2 online search, 3 both.
    static int modeIndex(bool deepThink, bool onlineSearch);

    // Seconds since the epoch for the "ts" field; tests pin it to check the exact request.
    void setClock(std::function<qint64()> clock);

    // A request that transfers nothing for this long ends as a network error.
    static constexpr int DefaultTransferTimeoutMs = 20000;
    void setTransferTimeout(int milliseconds);
    // A reply body larger than this is cut off and reported as "msg error".
    static constexpr qint64 MaxReplyBytes = 1024 * 1024;

    // The service's answer to a request of that kind, as the reply's body brings it: parsed,
    // stored and reported through the signals. The network path and the fuzz target use it.
    void handleReplyBody(OvApiType type, const QByteArray& body);

signals:
    void sigAICountValue(int useCount, int MaxCount);
    void sigAIApiReply(OvSeverHandler::OvApiType type, bool status, QString msg);

protected slots:
    void onReplyFinished(QNetworkReply* reply);
    void sslErrors(QNetworkReply*, QList<QSslError> errors);

private:
    void post(OvApiType type, const QJsonObject& params);
    QByteArray signature(const QByteArray& paramsText) const;
    void handleCountReply(OvApiType type, int code, const QString& msg, const QJsonObject& data);
    void handleListReply(OvApiType type, int code, const QString& msg, const QJsonArray& data);
    static OvApiType typeOfUrl(const QString& url);
    static QString pathOf(OvApiType type);
    static QVariantMap apiInfoFromEntry(const QJsonObject& entry);

    QMap<int, QVariant> apiMap;
    QNetworkAccessManager* manager = nullptr;
    QString serviceBaseUrl;
    QString signingSalt;
    std::function<qint64()> clock;
    int transferTimeoutMs = DefaultTransferTimeoutMs;
    static constexpr const char* TooLargeProperty = "lumoraTooLarge";
};
