#include "chat/answerstream.h"

#include "chat/markdownrenderer.h"
#include "platform/threadcputime.h"

#include <QCoreApplication>
#include <QEvent>

AnswerStream::AnswerStream(QObject* parent)
    : QObject(parent)
{
    worker.setMaxThreadCount(1);
    clock.start();
    frameTimer.setSingleShot(true);
    connect(&frameTimer, &QTimer::timeout, this, [this] {
        if (contentPending || reasoningPending) {
            applyPending();
            startFrameTimer();
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
    shownLength = 0;
    contentPending = reasoningPending = false;
    frameTimer.stop();
    pace.reset();
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
    if (frameTimer.isActive()
        && !pace.isDueEarly(content.size() + reasoning.size() - shownLength, clock.nsecsElapsed()))
        return;
    applyPending();
    startFrameTimer();
}

// Each event carries the whole text so far; only its unfinished end is converted anew.
void AnswerStream::applyPending()
{
    const bool hasContent = contentPending;
    const bool hasReasoning = reasoningPending;
    contentPending = reasoningPending = false;
    shownLength = content.size() + reasoning.size();
    const QString contentHtml =
        hasContent && !content.isEmpty() ? answerRenderer.render(content) : QString();
    const QString reasoningHtml =
        hasReasoning && !reasoning.isEmpty() ? reasoningRenderer.render(reasoning) : QString();
    emit shown(hasContent, contentHtml, hasReasoning, reasoningHtml);
}

void AnswerStream::startFrameTimer()
{
    frameTimer.start(pace.intervalAfterUpdate(ThreadCpuTime::nanoseconds(), clock.nsecsElapsed()));
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
