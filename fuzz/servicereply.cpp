// Feeds arbitrary bytes as the maker's service's reply to each kind of request, one handler for
// the whole run as in the app. Besides crashes and sanitizer findings it checks that every
// reply is answered with exactly one outcome, that anything but a successful list changes no
// stored provider record, and that stored records are well formed.
#include "service/ovseverhandler.h"
#include "support/fuzzfolder.h"
#include "support/splice.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

OvSeverHandler* handler = nullptr;

QList<QVariantMap> storedRecords()
{
    QList<QVariantMap> records;
    for (int mode = 0; mode < 4; ++mode)
        records << handler->storedApiInfo(mode);
    return records;
}

} // namespace

// Never destroyed: the network stack's own threads do not survive a teardown after main.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9"); // nothing here ever sends
    handler = new OvSeverHandler;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzFolder quiet;
    if (size < 1 || size > 65536)
        return 0;
    static const OvSeverHandler::OvApiType types[] = {
        OvSeverHandler::API_LIST, OvSeverHandler::API_ADD_COUNT, OvSeverHandler::API_GET_COUNT,
        OvSeverHandler::API_NONE};
    const OvSeverHandler::OvApiType type = types[data[0] % 4];
    static const QByteArray list = QByteArrayLiteral(
        R"({"code":0,"msg":"ok","data":[{"category":"chat","apiList":[{"platform":"tencent",)"
        R"("apiKey":"k0","apiUrl":"u","model":["deepseek-r1","x"],"free":true,"deepThink":true,)"
        R"("onlineSearch":false},{"platform":"other","apiKey":"k1"}]}]})");
    static const QByteArray count =
        QByteArrayLiteral(R"({"code":0,"msg":"","data":{"maxCount":50,"usedCount":7}})");
    const QByteArray body =
        spliced(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1)),
                type == OvSeverHandler::API_LIST ? list : count, data[0] & 4);

    const QList<QVariantMap> before = storedRecords();
    QSignalSpy replies(handler, &OvSeverHandler::sigAIApiReply);
    handler->handleReplyBody(type, body);
    // A reply of no known kind is reported only when it is not even a JSON object.
    if (replies.count() > 1 || (type != OvSeverHandler::API_NONE && replies.count() != 1))
        std::abort();
    const bool success = replies.isEmpty() ? false : replies.at(0).at(1).toBool();
    const QList<QVariantMap> after = storedRecords();
    if ((!success || type != OvSeverHandler::API_LIST) && after != before)
        std::abort(); // only a successful list stores records
    for (const QVariantMap& record : after) {
        if (record.isEmpty())
            continue;
        if (record.value(QStringLiteral("platform")).toString() != QStringLiteral("tencent")
            || record.value(QStringLiteral("model")).userType() != QMetaType::QStringList)
            std::abort();
    }
    return 0;
}
