#include "chat/answerstream.h"

#include "chat/markdownrenderer.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace {

constexpr int MinUpdateIntervalMs = 50;
constexpr int MaxUpdateIntervalMs = 100;

} // namespace

AnswerStream::AnswerStream(QObject* parent)
    : QObject(parent)
{
    worker.setMaxThreadCount(1);
    frameTimer.setSingleShot(true);
    connect(&frameTimer, &QTimer::timeout, this, [this] {
        if (contentPending || reasoningPending) {
            applyPending();
            startFrameTimer(content.size() + reasoning.size());
        }
    });
}

AnswerStream::~AnswerStream()
{
    worker.waitForDone();
}

void AnswerStream::reset()
{
    answerRenderer.reset();
    reasoningRenderer.reset();
    content.clear();
    reasoning.clear();
    contentPending = reasoningPending = false;
    frameTimer.stop();
    finishing = false;
    ++answerNumber;
}

void AnswerStream::update(const QString& newContent, const QString& newReasoning)
{
    if (newContent.isEmpty()) {
        reasoning = newReasoning;
        reasoningPending = true;
    }
    if (newReasoning.isEmpty()) {
        content = newContent;
        contentPending = true;
    }
    if (!frameTimer.isActive()) {
        applyPending();
        startFrameTimer(content.size() + reasoning.size());
    }
}

// Each event carries the whole text so far; only its unfinished end is converted anew.
void AnswerStream::applyPending()
{
    const bool hasContent = contentPending;
    const bool hasReasoning = reasoningPending;
    contentPending = reasoningPending = false;
    const QString contentHtml =
        hasContent && !content.isEmpty() ? answerRenderer.render(content) : QString();
    const QString reasoningHtml =
        hasReasoning && !reasoning.isEmpty() ? reasoningRenderer.render(reasoning) : QString();
    emit shown(hasContent, contentHtml, hasReasoning, reasoningHtml);
}

// A streaming answer is shown twenty times a second, which reads as smooth, and every update
// costs the view about the same whatever the answer's length. What still grows is handing the
// whole text along (copies and comparisons of it on its way into the view), so very long
// answers are shown a little less often: one more millisecond per 2,000 characters, at most ten
// updates a second.
void AnswerStream::startFrameTimer(int textLength)
{
    frameTimer.start(std::min(MaxUpdateIntervalMs, MinUpdateIntervalMs + textLength / 2000));
}

void AnswerStream::showNow()
{
    frameTimer.stop();
    if (contentPending || reasoningPending)
        applyPending();
}

void AnswerStream::finish()
{
    showNow();
    finishing = true;
    convert(answerNumber, content, reasoning);
}

bool AnswerStream::isFinishing() const
{
    return finishing;
}

void AnswerStream::convert(quint64 answer, const QString& finalContent,
                           const QString& finalReasoning)
{
    worker.start([this, answer, finalContent, finalReasoning] {
        const QString contentHtml = MarkdownRenderer::toHtml(finalContent);
        const QString reasoningHtml = MarkdownRenderer::toHtml(finalReasoning);
        // Runs on this object's thread; dropped with the object if it is gone by then (the
        // destructor waits for this job, so the object is alive while it posts).
        QMetaObject::invokeMethod(
            this,
            [this, answer, contentHtml, reasoningHtml] {
                deliver(answer, contentHtml, reasoningHtml);
            },
            Qt::QueuedConnection);
    });
}

void AnswerStream::deliver(quint64 answer, const QString& contentHtml, const QString& reasoningHtml)
{
    if (!finishing || answer != answerNumber)
        return;
    finishing = false;
    emit finished(contentHtml, reasoningHtml);
}

void AnswerStream::flush()
{
    if (!finishing)
        return;
    worker.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
