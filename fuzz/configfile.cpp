// Feeds arbitrary bytes as the user's config.json and as the first-run defaults, then reads
// and writes through the configuration engine. Besides crashes
// and sanitizer findings it checks that after a write the user file is a JSON object holding
// the written value, and that content that was no object was kept aside first.
#include "core/configengine.h"
#include "support/fuzzfolder.h"
#include "support/splice.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzFolder folder;
    if (size > 65536)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    // The bytes before the first NUL are the defaults, the rest the user file.
    const int cut = input.indexOf('\0');
    const QByteArray defaults = cut < 0 ? QByteArray() : input.left(cut);
    static const QByteArray sample = QByteArrayLiteral(
        R"({"Scale":1.25,"SkinMode":"0","StartUpAuto":"true","Language":"en_US"})");
    const QByteArray user =
        spliced(cut < 0 ? input : input.mid(cut + 1), sample, !input.isEmpty() && (input[0] & 1));

    const QString dir = folder.fresh(QStringLiteral("configs"));
    const QString userPath = dir + QStringLiteral("/config.json");
    const QString defaultsPath = dir + QStringLiteral("/defaults.json");
    FuzzFolder::write(userPath, user);
    FuzzFolder::write(defaultsPath, defaults);

    ConfigEngine engine;
    engine.setUserConfigPath(userPath);
    engine.initialize({{QStringLiteral("AppVer3ConfigPath"), QStringLiteral("configs")}});
    engine.setDefaultConfigPath(defaultsPath);
    QJsonDocument work;
    engine.getValue(QStringLiteral("StartUpAuto"), true, work).toString();
    engine.getValue(QStringLiteral("Language"), false, work);

    if (!engine.setValue(QStringLiteral("SkinMode"), QStringLiteral("1"), work))
        return 0;
    QFile file(userPath);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QJsonDocument written = QJsonDocument::fromJson(file.readAll());
    if (!written.isObject()
        || written.object().value(QStringLiteral("SkinMode")).toString() != QStringLiteral("1"))
        std::abort();
    return 0;
}
