#include "chat/chathistorystore.h"

#include "chat/localtimes.h"
#include "core/logging.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QLocale>

#include <algorithm>

namespace {

const QString HistoryKey = QStringLiteral("history");
const QString ChatKey = QStringLiteral("chat");
const QString TitleKey = QStringLiteral("title");
const QString FileNameKey = QStringLiteral("fileName");
const QString ModifiedTimeKey = QStringLiteral("modifiedTime");
const QString SenderKey = QStringLiteral("sender");
const QString ContentKey = QStringLiteral("content");
const QString ReasoningKey = QStringLiteral("reasoningContent");

const char* const FailedToOpen = "Failed to open file: ";
const char* const DoesNotExist = "File doesn't exist: ";

// The text date of Qt::TextDate, which is what the files hold.
const QString TimeFormat = QStringLiteral("ddd MMM d HH:mm:ss yyyy");

void logWithPath(const char* message, const QString& path)
{
    qCDebug(lcChat).nospace() << message << path;
}

// QDateTime::toString(Qt::TextDate) takes the day and month names from the system locale,
// which fromString(Qt::TextDate) cannot read back: on a Chinese or German system every
// stored time would load as invalid. The files therefore always get the English names.
QString timeText(const QDateTime& time)
{
    return QLocale::c().toString(time.toLocalTime(), TimeFormat);
}

int indexIn(const char* const names[], int count, QStringView name)
{
    for (int i = 0; i < count; ++i) {
        if (name == QLatin1String(names[i]))
            return i;
    }
    return -1;
}

// Reads the digits of text from *at up to the next separator (or the end); -1 when there are
// none or something else.
int readNumber(QStringView text, int* at, QChar separator, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (*at < text.size() && text[*at] != separator) {
        const int digit = text[*at].digitValue();
        if (digit < 0 || digit > 9 || ++digits > maxDigits)
            return -1;
        value = value * 10 + digit;
        ++*at;
    }
    ++*at; // past the separator
    return digits > 0 ? value : -1;
}

// The dates we write ("Wed Dec 9 01:28:28 2026"), read directly: the general text-date reader
// makes loading a long history several times slower than parsing its JSON. Anything else gets
// an invalid time, and the general readers have their go.
QDateTime parseWrittenTime(QStringView text, LocalTimes& localTimes)
{
    static const char* const Days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (text.size() < 20 || text[3] != QLatin1Char(' ') || text[7] != QLatin1Char(' '))
        return {};
    const int dayName = indexIn(Days, 7, text.left(3));
    const int month = indexIn(Months, 12, text.mid(4, 3));
    int at = 8;
    const int day = readNumber(text, &at, QLatin1Char(' '), 2);
    const int hour = readNumber(text, &at, QLatin1Char(':'), 2);
    const int minute = readNumber(text, &at, QLatin1Char(':'), 2);
    const int second = readNumber(text, &at, QLatin1Char(' '), 2);
    const int year = readNumber(text, &at, QLatin1Char(' '), 4);
    if (dayName < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 || year < 0
        || at <= text.size())
        return {};
    const QDate date(year, month + 1, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid() || date.dayOfWeek() != dayName + 1)
        return {};
    return localTimes.at(date, time);
}

// Files written with the system's names by earlier builds still load.
QDateTime parseTime(const QString& text, LocalTimes& localTimes)
{
    const QDateTime written = parseWrittenTime(text, localTimes);
    if (written.isValid())
        return written;
    const QDateTime time = QDateTime::fromString(text, Qt::TextDate);
    if (time.isValid() || text.isEmpty())
        return time;
    return QLocale::system().toDateTime(text, TimeFormat);
}

} // namespace

ChatHistoryStore::ChatHistoryStore(const QString& dataDir)
    : dataDir(dataDir)
{ }

QString ChatHistoryStore::historyDir() const
{
    return dataDir + QStringLiteral("/ChatHistory/");
}

QString ChatHistoryStore::indexPath() const
{
    return historyDir() + QStringLiteral("OverallTable.json");
}

QString ChatHistoryStore::conversationPath(const QString& fileName) const
{
    return historyDir() + fileName + QStringLiteral(".json");
}

QVector<ChatHistoryStore::IndexEntry> ChatHistoryStore::loadIndex() const
{
    if (!QDir().mkpath(historyDir()))
        qCDebug(lcChat).nospace() << "Failed to create directory: " << historyDir();
    QVector<IndexEntry> entries;
    const QString path = indexPath();
    const JsonFile::Content content = JsonFile::read(path);
    if (content.status == JsonFile::Status::Unreadable)
        logWithPath(FailedToOpen, path);
    if (content.status != JsonFile::Status::Loaded || !content.document.isObject())
        return entries;
    const QJsonArray history = content.document.object().value(HistoryKey).toArray();
    entries.reserve(history.size());
    LocalTimes localTimes;
    for (const QJsonValue& element : history) {
        const QJsonObject entry = element.toObject();
        entries.append({entry.value(TitleKey).toString(), entry.value(FileNameKey).toString(),
                        parseTime(entry.value(ModifiedTimeKey).toString(), localTimes)});
    }
    return entries;
}

bool ChatHistoryStore::appendIndexEntry(const QString& title, const QString& fileName,
                                        const QDateTime& time) const
{
    const QString path = indexPath();
    Document document;
    if (!readForUpdate(path, HistoryKey, false, &document))
        return false;
    QJsonArray history = document.root.value(HistoryKey).toArray();
    history.append(QJsonObject {
        {TitleKey, title}, {FileNameKey, fileName}, {ModifiedTimeKey, timeText(time)}});
    document.root.insert(HistoryKey, history);
    return writeDocument(path, document.root, document.status);
}

bool ChatHistoryStore::renameIndexEntry(const QString& fileName, const QString& title) const
{
    const QString path = indexPath();
    Document document;
    if (!readForUpdate(path, HistoryKey, true, &document))
        return false;
    QJsonArray history = document.root.value(HistoryKey).toArray();
    for (int i = 0; i < history.size(); ++i) {
        QJsonObject entry = history.at(i).toObject();
        if (entry.value(FileNameKey) != QJsonValue(fileName))
            continue;
        entry.insert(TitleKey, title);
        history.replace(i, entry);
    }
    document.root.insert(HistoryKey, history);
    return writeDocument(path, document.root, document.status);
}

bool ChatHistoryStore::appendMessage(const QString& fileName, bool startNewFile, int sender,
                                     const QString& content, const QString& reasoningContent) const
{
    const QJsonObject message {
        {SenderKey, sender}, {ContentKey, content}, {ReasoningKey, reasoningContent}};
    if (!startNewFile)
        return appendToConversation(fileName, message);
    // The first message replaces whatever file had this name, but an unparsable one is still
    // kept aside: it may be the only copy of an older conversation.
    const QString path = conversationPath(fileName);
    const JsonFile::Status previous = inspect(path, ChatKey).status;
    return writeDocument(path, QJsonObject {{ChatKey, QJsonArray {message}}}, previous);
}

bool ChatHistoryStore::appendToConversation(const QString& fileName,
                                            const QJsonObject& message) const
{
    const QString path = conversationPath(fileName);
    Document document;
    if (!readForUpdate(path, ChatKey, true, &document))
        return false;
    QJsonArray chat = document.root.value(ChatKey).toArray();
    chat.append(message);
    document.root.insert(ChatKey, chat);
    return writeDocument(path, document.root, document.status);
}

bool ChatHistoryStore::removeLastMessage(const QString& fileName) const
{
    const QString path = conversationPath(fileName);
    Document document;
    if (!readForUpdate(path, ChatKey, true, &document))
        return false;
    QJsonArray chat = document.root.value(ChatKey).toArray();
    if (!chat.isEmpty())
        chat.removeLast();
    document.root.insert(ChatKey, chat);
    return writeDocument(path, document.root, document.status);
}

bool ChatHistoryStore::removeConversation(int position, const QString& fileName) const
{
    const QString path = indexPath();
    Document document;
    // A broken index may still name the conversation: nothing is removed behind it.
    if (!readForUpdate(path, HistoryKey, false, &document)
        || document.status == JsonFile::Status::Broken)
        return false;
    QJsonArray history = document.root.value(HistoryKey).toArray();
    const auto names = [&fileName](const QJsonValue& entry) {
        return entry.toObject().value(FileNameKey) == QJsonValue(fileName);
    };
    int at = position >= 0 && position < history.size() && names(history.at(position))
        ? position
        : int(std::find_if(history.begin(), history.end(), names) - history.begin());
    if (at < history.size()) {
        history.removeAt(at);
        document.root.insert(HistoryKey, history);
        if (!writeDocument(path, document.root, document.status))
            return false;
    }
    // The index no longer lists it, so a file that cannot be removed is only left over.
    if (std::none_of(history.begin(), history.end(), names)) {
        const QString conversation = conversationPath(fileName);
        if (QFileInfo::exists(conversation) && !QFile::remove(conversation))
            qCWarning(lcChat) << "Could not remove the conversation file" << conversation;
    }
    return true;
}

ChatHistoryStore::Conversation ChatHistoryStore::loadConversation(const QString& fileName) const
{
    Conversation conversation;
    const QString path = conversationPath(fileName);
    const JsonFile::Content content = JsonFile::read(path);
    if (content.status == JsonFile::Status::Missing) {
        logWithPath(DoesNotExist, path);
        return conversation;
    }
    if (content.status == JsonFile::Status::Unreadable) {
        logWithPath(FailedToOpen, path);
        conversation.outcome = Conversation::Outcome::Unreadable;
        return conversation;
    }
    conversation.outcome = Conversation::Outcome::Loaded;
    if (!content.document.isObject())
        return conversation;
    const QJsonArray chat = content.document.object().value(ChatKey).toArray();
    conversation.messages.reserve(chat.size());
    for (const QJsonValue& element : chat) {
        const QJsonObject message = element.toObject();
        conversation.messages.append({message.value(SenderKey).toInt(0),
                                      message.value(ContentKey).toString(),
                                      message.value(ReasoningKey).toString()});
    }
    return conversation;
}

bool ChatHistoryStore::isFileNameInUse(const QString& fileName) const
{
    if (QFileInfo::exists(conversationPath(fileName)))
        return true;
    const JsonFile::Content content = JsonFile::read(indexPath());
    const QJsonArray history = content.document.object().value(HistoryKey).toArray();
    for (const QJsonValue& element : history) {
        if (element.toObject().value(FileNameKey) == QJsonValue(fileName))
            return true;
    }
    return false;
}

ChatHistoryStore::Document ChatHistoryStore::inspect(const QString& path, const QString& arrayKey)
{
    const JsonFile::Content content = JsonFile::read(path);
    Document document;
    document.status = content.status;
    if (content.status != JsonFile::Status::Loaded)
        return document;
    // Valid JSON that is not in our shape would lose its content on the rewrite just like an
    // unparsable file, so it is kept aside the same way.
    if (!content.document.isObject()) {
        document.status = JsonFile::Status::Broken;
        return document;
    }
    document.root = content.document.object();
    if (document.root.contains(arrayKey) && !document.root.value(arrayKey).isArray())
        document.status = JsonFile::Status::Broken;
    return document;
}

bool ChatHistoryStore::readForUpdate(const QString& path, const QString& arrayKey, bool logMissing,
                                     Document* document)
{
    *document = inspect(path, arrayKey);
    if (document->status == JsonFile::Status::Unreadable) {
        logWithPath(FailedToOpen, path);
        return false;
    }
    if (document->status == JsonFile::Status::Missing && logMissing)
        logWithPath(DoesNotExist, path);
    return true;
}

bool ChatHistoryStore::writeDocument(const QString& path, const QJsonObject& root,
                                     JsonFile::Status previous)
{
    // The folder is made at start-up; should it vanish while we run, the next write brings it
    // back instead of losing the message.
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool written =
        JsonFile::write(path, QJsonDocument(root).toJson(QJsonDocument::Indented), previous);
    if (!written)
        logWithPath(FailedToOpen, path);
    return written;
}
