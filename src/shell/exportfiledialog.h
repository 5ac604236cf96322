#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QFileDialog;
class QWindow;

// The save dialog of a conversation's export: Markdown files, the conversation's title as the
// suggested name in the documents folder, kept above the chat window. One at a time: opening
// another closes the first.
class ExportFileDialog : public QObject
{
    Q_OBJECT

public:
    explicit ExportFileDialog(QWindow* over, QObject* parent = nullptr);
    ~ExportFileDialog() override;

    void open(const QString& title);
    QFileDialog* dialog() const; // the open dialog, or null

    // A file name for the title: what no file system takes is replaced, and it is never empty.
    static QString suggestedFileName(const QString& title);

signals:
    void chosen(QString path);
    // Chosen or cancelled: the dialog is gone.
    void closed();

private:
    QPointer<QWindow> over;
    QPointer<QFileDialog> current;
};
