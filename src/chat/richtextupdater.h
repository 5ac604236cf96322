#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QVector>

class QQuickTextDocument;
class QTextDocument;

// Shows a growing answer in a rich-text TextEdit without setting its whole text again for
// every stream event: setting the text parses, lays out and paints the whole answer each
// time, which makes a long answer freeze the window while it streams.
//
// The answer's HTML (from MarkdownRenderer) is one line per top-level block. The updater
// keeps the blocks it has put into the document and, when the HTML changes, replaces only
// the blocks from the first changed one on; the text of the unchanged blocks and their layout
// stay. The document ends up as setting the whole HTML would make it, so selecting and
// copying work on the answer as one text. Texts that are not such HTML are set whole.
//
// In QML, instead of binding the TextEdit's text:
//     TextEdit { id: answer; textFormat: TextEdit.RichText
//         RichTextUpdater { document: answer.textDocument; html: model.content } }
class RichTextUpdater : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QQuickTextDocument* document READ document WRITE setDocument NOTIFY documentChanged)
    Q_PROPERTY(QString html READ html WRITE setHtml NOTIFY htmlChanged)

public:
    explicit RichTextUpdater(QObject* parent = nullptr);

    // Makes the type available to QML as Lumora.Chat 1.0 RichTextUpdater; once per process,
    // however often it is called.
    static void registerQmlType();

    QQuickTextDocument* document() const;
    void setDocument(QQuickTextDocument* document);
    // For C++ users and tests: the document to keep up to date.
    void setTextDocument(QTextDocument* document);
    QString html() const;
    void setHtml(const QString& html);

signals:
    void documentChanged();
    void htmlChanged();

private:
    // A run of top-level blocks inserted in one go; a table travels with the block after it,
    // which the table's trailing empty block becomes.
    struct Unit
    {
        int htmlEnd = 0; // the unit is applied[previous unit's htmlEnd + 1, htmlEnd)
        int position = 0; // document position where its insertion started
        // The format of the block at position before the insertion, which merging may change.
        QTextBlockFormat blockFormat;
        QTextCharFormat charFormat;
    };

    void attach(QTextDocument* document);
    void apply();
    bool appendText(int common);
    static bool isPreservedText(QStringView text);
    bool endsInWrappedBlock(int common) const;
    void rebuild();
    void appendUnits(int from);
    void insertUnit(const QString& blocks, bool first);
    void restoreBlockFormat(const Unit& unit);

    QPointer<QQuickTextDocument> quickDocument;
    QPointer<QTextDocument> target;
    QString text; // the html property
    QString applied; // the html the document shows
    QString head; // applied's document head, through "</head>"
    QVector<Unit> units;
    bool settled = false; // the document's owner has finished setting it up
};
