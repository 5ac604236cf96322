#pragma once

#include "chat/streamingmarkdownrenderer.h"
#include "chat/updatepace.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

// Turns the provider's stream events into the HTML of the answer row: while the answer grows,
// converted piece by piece (StreamingMarkdownRenderer) and shown at most once per interval
// (UpdatePace); when it ends, converted once more in one go on a worker thread, so that what is
// shown and stored is exactly what the same text gives when it is converted whole (the
// streaming conversion of a few texts differs), without the window paying for that conversion.
class AnswerStream : public QObject
{
    Q_OBJECT

public:
    explicit AnswerStream(QObject* parent = nullptr);
    // Waits for a conversion in flight; its result is dropped.
    ~AnswerStream() override;

    // A new answer starts: forgets the texts, and any update or result still to come.
    void reset();
    // A stream event with the whole text so far: a reply event replaces the answer, a thought
    // event the reasoning, an empty event empties both. The first event is shown at once, the
    // others at most once per interval (UpdatePace).
    void update(const QString& content, const QString& reasoning);
    // Shows what is pending at once and stops the interval (the answer is cut short).
    void showNow();
    // The answer has ended: shows what is pending at once and converts the final texts whole;
    // finished() brings the result.
    void finish();
    // Between finish() and finished().
    bool isFinishing() const;
    // Waits for a conversion in flight and delivers its finished() now (before the app quits).
    void flush();

signals:
    // An update of the answer row; the parts not changed are not given.
    void shown(bool hasContent, const QString& content, bool hasReasoning,
               const QString& reasoning);
    // The exact HTML of the ended answer's text and reasoning.
    void finished(const QString& content, const QString& reasoning);

private:
    void applyPending();
    void startFrameTimer();
    void convert(quint64 answer, const QString& content, const QString& reasoning);
    void deliver(quint64 answer, const QString& content, const QString& reasoning);

    StreamingMarkdownRenderer answerRenderer;
    StreamingMarkdownRenderer reasoningRenderer;
    // The texts as they stand, and what of them is not shown yet.
    QString content;
    QString reasoning;
    bool contentPending = false;
    bool reasoningPending = false;
    int shownLength = 0; // of both texts when they were last shown
    QTimer frameTimer;
    UpdatePace pace;
    QElapsedTimer clock;
    bool finishing = false;
    quint64 answerNumber = 0; // a result of an earlier answer is dropped
    QThreadPool worker;
};
