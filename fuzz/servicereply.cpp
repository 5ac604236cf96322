// Feeds arbitrary bytes as the maker's service's reply to each kind of request. Besides crashes
// and sanitizer findings it checks that every reply is answered with exactly one outcome, that
// a failed one changes no stored provider record, and that stored records are well formed.
#include "service/ovseverhandler.h"
#include "support/fuzzfolder.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9"); // nothing here ever sends
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
    const QByteArray body(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));

    OvSeverHandler handler;
    QSignalSpy replies(&handler, &OvSeverHandler::sigAIApiReply);
    handler.handleReplyBody(type, body);
    // A reply of no known kind is reported only when it is not even a JSON object.
    if (replies.count() > 1 || (type != OvSeverHandler::API_NONE && replies.count() != 1))
        std::abort();
    const bool success = replies.isEmpty() ? false : replies.at(0).at(1).toBool();
    for (int mode = 0; mode < 4; ++mode) {
        const QVariantMap record = handler.storedApiInfo(mode);
        if (record.isEmpty())
            continue;
        if (!success || type != OvSeverHandler::API_LIST)
            std::abort(); // only a successful list stores records
        if (record.value(QStringLiteral("platform")).toString() != QStringLiteral("tencent")
            || record.value(QStringLiteral("model")).userType() != QMetaType::QStringList)
            std::abort();
    }
    return 0;
}
