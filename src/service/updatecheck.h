#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>

class QTimer;

// One run of "<tool> --checkupdates", without blocking the event loop. A tool that does not
// finish within the limit is killed and reported as failed.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Failed, // did not start, or did not finish in time
        Quiet, // no update, network error or no remote tree: nothing to tell the user
        NoUpdate, // anything else without a version: the user is told there is none
        Update, // an "update" element with a version
    };
    Q_ENUM(Outcome)

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString version;
    };

    UpdateCheck(const QString& program, int limitMs, QObject* parent = nullptr);
    ~UpdateCheck() override;

    void start();
    bool isRunning() const;

    // The reading of the tool's output: the three known texts first, in this order, then the
    // first "update" element's "version" attribute.
    static Result interpret(const QByteArray& output);

signals:
    void finished(UpdateCheck::Result result);

private:
    void onFinished();
    void onTimeout();
    void finish(const Result& result);

    QProcess process;
    QTimer* limit;
    QString program;
    bool running = false;
};

Q_DECLARE_METATYPE(UpdateCheck::Result)
