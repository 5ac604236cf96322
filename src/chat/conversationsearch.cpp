#include "chat/conversationsearch.h"

#include "chat/searchabletext.h"
#include "chat/textpool.h"

#include <QByteArrayMatcher>
#include <QDir>
#include <QDirIterator>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <limits>

namespace {

// How many conversations the worker handles between two looks at whether it should stop.
constexpr int CheckEvery = 64;

enum class State { Unread, Read, Missing };

struct Indexed
{
    State state = State::Unread;
    int text = -1; // in the pool
};

// The files of the history folder, from one read of the folder (no look at each file).
QSet<QString> filesIn(const QString& folder)
{
    QSet<QString> names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.insert(it.fileName());
    }
    return names;
}

} // namespace

struct ConversationSearch::Shared
{
    std::atomic<int> generation {0}; // of the latest search; an older one stops
    std::atomic<bool> stopping {false};
    QMutex mutex; // guards changed
    QSet<QString> changed;
    QHash<QString, Indexed> index; // worker only, as the pool
    TextPool texts;

    bool cancelled(int search) const
    {
        return stopping.load() || (search >= 0 && generation.load() != search);
    }

    // Brings the texts up to date; false when it had to stop.
    bool refresh(const ChatHistoryStore& store, const QVector<DialogInfoRecord>& conversations,
                 const std::function<void()>& waitForWrites, int search)
    {
        QSet<QString> written;
        {
            const QMutexLocker lock(&mutex);
            written.swap(changed);
        }
        if (!written.isEmpty())
            waitForWrites();
        for (const QString& fileName : qAsConst(written))
            index[fileName].state = State::Unread;
        const QSet<QString> files = filesIn(store.historyDir());
        for (int i = 0; i < conversations.size(); ++i) {
            if (i % CheckEvery == 0 && cancelled(search))
                return false;
            const QString& fileName = conversations.at(i).fileName;
            Indexed& entry = index[fileName];
            if (!files.contains(fileName + QStringLiteral(".json"))) {
                texts.release(entry.text); // gone behind our back
                entry = Indexed {State::Missing, -1};
                continue;
            }
            if (entry.state == State::Read)
                continue;
            texts.release(entry.text);
            entry.state = State::Read;
            entry.text =
                texts.add(SearchableText::ofMessages(store.loadConversation(fileName).messages));
        }
        forgetOthers(conversations);
        return true;
    }

    // Deleted conversations leave the memory too.
    void forgetOthers(const QVector<DialogInfoRecord>& conversations)
    {
        if (index.size() <= conversations.size())
            return;
        QSet<QString> listed;
        for (const DialogInfoRecord& record : conversations)
            listed.insert(record.fileName);
        for (auto it = index.begin(); it != index.end();) {
            if (listed.contains(it.key())) {
                ++it;
            } else {
                texts.release(it->text);
                it = index.erase(it);
            }
        }
    }

    // The file names of the matches, newest first; false when it had to stop.
    bool match(const QString& text, const QVector<DialogInfoRecord>& conversations, int search,
               QStringList* fileNames) const
    {
        const QString words = text.simplified(); // the texts keep one space of each run
        const QByteArrayMatcher needle(SearchableText::folded(words));
        struct Hit
        {
            qint64 time;
            int position;
        };
        QVector<Hit> hits;
        for (int i = 0; i < conversations.size(); ++i) {
            if (i % CheckEvery == 0 && cancelled(search))
                return false;
            const DialogInfoRecord& record = conversations.at(i);
            const auto indexed = index.constFind(record.fileName);
            if (words.isEmpty() || record.title.contains(words, Qt::CaseInsensitive)
                || (indexed != index.cend() && needle.indexIn(texts.view(indexed->text)) >= 0)) {
                const QDateTime& time = record.modifiedTime;
                hits.append(
                    {time.isValid() ? time.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min(),
                     i});
            }
        }
        // Newest first; of two started at the same time, the one listed later.
        std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
            return a.time != b.time ? a.time > b.time : a.position > b.position;
        });
        for (const Hit& hit : qAsConst(hits))
            fileNames->append(conversations.at(hit.position).fileName);
        return true;
    }
};

ConversationSearch::ConversationSearch(std::function<void()> waitForWrites, QObject* parent)
    : QObject(parent)
    , shared(std::make_shared<Shared>())
    , waitForWrites(std::move(waitForWrites))
{
    worker.setMaxThreadCount(1);
    worker.setExpiryTimeout(-1);
}

ConversationSearch::~ConversationSearch()
{
    shared->stopping = true;
    worker.waitForDone();
}

void ConversationSearch::search(const QString& text, const ChatHistoryStore& store,
                                const QVector<DialogInfoRecord>& conversations)
{
    const int search = ++shared->generation;
    setSearching(true);
    const std::shared_ptr<Shared> state = shared;
    const std::function<void()> wait = waitForWrites;
    worker.start([this, state, wait, search, text, store, conversations] {
        QStringList fileNames;
        if (!text.isEmpty() && !state->refresh(store, conversations, wait, search))
            return;
        if (!state->match(text, conversations, search, &fileNames))
            return;
        // Queued to the GUI thread; dropped with this object, which waits for the worker.
        QMetaObject::invokeMethod(
            this,
            [this, state, search, text, fileNames] {
                if (state->generation.load() != search)
                    return; // a newer search is on its way
                setSearching(false);
                emit finished(text, fileNames);
            },
            Qt::QueuedConnection);
    });
}

void ConversationSearch::prepare(const ChatHistoryStore& store,
                                 const QVector<DialogInfoRecord>& conversations)
{
    const std::shared_ptr<Shared> state = shared;
    const std::function<void()> wait = waitForWrites;
    worker.start(
        [state, wait, store, conversations] { state->refresh(store, conversations, wait, -1); });
}

void ConversationSearch::conversationChanged(const QString& fileName)
{
    const QMutexLocker lock(&shared->mutex);
    shared->changed.insert(fileName);
}

bool ConversationSearch::isSearching() const
{
    return searching;
}

void ConversationSearch::setSearching(bool value)
{
    if (searching == value)
        return;
    searching = value;
    emit searchingChanged();
}
