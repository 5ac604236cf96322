#include "chat/richtextupdater.h"

#include "chat/htmlblocks.h"
#include "chat/textprefix.h"

#include <QQuickTextDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QtQml>

#include <algorithm>

RichTextUpdater::RichTextUpdater(QObject* parent)
    : QObject(parent)
{ }

void RichTextUpdater::registerQmlType()
{
    static const int type =
        qmlRegisterType<RichTextUpdater>("Lumora.Chat", 1, 0, "RichTextUpdater");
    Q_UNUSED(type)
}

QQuickTextDocument* RichTextUpdater::document() const
{
    return quickDocument;
}

void RichTextUpdater::setDocument(QQuickTextDocument* document)
{
    if (quickDocument == document)
        return;
    quickDocument = document;
    attach(document ? document->textDocument() : nullptr);
    // The TextEdit that owns the document sets its own, empty, text into it when its creation
    // completes, which comes after this (both are made by one delegate): the first text goes
    // in once that has happened.
    settled = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            settled = true;
            apply();
        },
        Qt::QueuedConnection);
    emit documentChanged();
}

void RichTextUpdater::setTextDocument(QTextDocument* document)
{
    attach(document);
    settled = true;
    apply();
}

void RichTextUpdater::attach(QTextDocument* document)
{
    target = document;
    applied.clear();
    units.clear();
}

QString RichTextUpdater::html() const
{
    return text;
}

void RichTextUpdater::setHtml(const QString& html)
{
    if (text == html)
        return;
    text = html;
    apply();
    emit htmlChanged();
}

void RichTextUpdater::apply()
{
    if (!target || !settled || text == applied)
        return;
    // A first text (a stored answer, or the first event) is set whole: most are never changed
    // again, and the blocks are tracked from the second change on.
    if (!HtmlBlocks::isBlockDocument(text) || applied.isEmpty()) {
        units.clear();
        applied = text;
        target->setHtml(text);
        return;
    }
    if (units.isEmpty()
        || !applied.startsWith(QStringView(text).left(HtmlBlocks::bodyStart(text)))) {
        rebuild();
        return;
    }
    const int common = TextPrefix::commonLength(applied, text);
    if (appendText(common))
        return;
    // A unit stays when its text and the line break after it are unchanged.
    int kept = 0;
    while (kept < units.size() && units.at(kept).htmlEnd < common)
        ++kept;
    if (kept == 0 || kept == units.size()) {
        rebuild();
        return;
    }
    QTextCursor cursor(target);
    cursor.setPosition(units.at(kept).position);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    restoreBlockFormat(units.at(kept));
    const int from = units.at(kept - 1).htmlEnd + 1;
    units.resize(kept);
    applied = text;
    appendUnits(from);
}

// Most stream events only add words to the paragraph or list item the answer ends with: the
// new HTML is the old one with plain text inserted before the closing tags of its last block.
// That text goes into the document as text, in the format of the character before it, without
// parsing and replacing the block again.
bool RichTextUpdater::appendText(int common)
{
    const int added = text.size() - applied.size();
    const int lastUnitStart = units.size() > 1 ? units.at(units.size() - 2).htmlEnd + 1 : 0;
    if (added <= 0 || common <= lastUnitStart || common <= head.size()
        || applied.at(common - 1) == QLatin1Char('>'))
        return false;
    const QStringView rest = QStringView(applied).mid(common);
    const QStringView inserted = QStringView(text).mid(common, added);
    if (QStringView(text).mid(common + added) != rest || HtmlBlocks::closingTagsStart(rest) != 0
        || !isPreservedText(inserted) || !endsInWrappedBlock(common))
        return false;
    QTextCursor cursor(target);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(inserted.toString());
    units.last().htmlEnd += added;
    applied = text;
    return true;
}

// Text that the HTML holds literally: no markup, no entities, no line break.
bool RichTextUpdater::isPreservedText(QStringView text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('&')
            || c == QLatin1Char('\n');
    });
}

// Whether the block that ends at position common of the applied HTML is a paragraph or a list
// item, whose white space the document keeps as it is ("white-space: pre-wrap" in the head);
// a heading would fold the spaces an inserted text brings.
bool RichTextUpdater::endsInWrappedBlock(int common) const
{
    int at = applied.lastIndexOf(QLatin1Char('\n'), common - 1) + 1;
    while (HtmlBlocks::startsWithAt(applied, at, QLatin1String("<ul"))
           || HtmlBlocks::startsWithAt(applied, at, QLatin1String("<ol")))
        at = applied.indexOf(QLatin1Char('>'), at) + 1;
    return HtmlBlocks::startsWithAt(applied, at, QLatin1String("<p "))
        || HtmlBlocks::startsWithAt(applied, at, QLatin1String("<li "));
}

// Builds the document block by block, so that later changes can replace just their blocks.
void RichTextUpdater::rebuild()
{
    units.clear();
    applied = text;
    head = text.left(HtmlBlocks::bodyStart(text));
    target->clear();
    appendUnits(head.size());
}

void RichTextUpdater::appendUnits(int from)
{
    const int end = HtmlBlocks::bodyEnd(applied);
    while (from < end) {
        const int unitEnd = HtmlBlocks::unitEnd(applied, from, end);
        QTextCursor cursor(target);
        cursor.movePosition(QTextCursor::End);
        units.append({unitEnd, cursor.position(), cursor.blockFormat(), cursor.blockCharFormat()});
        insertUnit(applied.mid(from, unitEnd - from), units.size() == 1);
        if (units.size() > 1)
            restoreBlockFormat(units.constLast());
        from = unitEnd + 1;
    }
}

void RichTextUpdater::restoreBlockFormat(const Unit& unit)
{
    QTextCursor cursor(target);
    cursor.setPosition(unit.position);
    if (cursor.blockFormat() != unit.blockFormat)
        cursor.setBlockFormat(unit.blockFormat);
    if (cursor.blockCharFormat() != unit.charFormat)
        cursor.setBlockCharFormat(unit.charFormat);
}

// Inserting HTML merges its first block into the block at the cursor and drops that block's
// format. So the blocks are first parsed into a document of their own; when its first block
// carries content, an empty block is put in front to take that merge, and the copy then brings
// every real block with its own format.
void RichTextUpdater::insertUnit(const QString& blocks, bool first)
{
    const QString html = head + blocks + HtmlBlocks::htmlEnd();
    if (first) {
        target->setHtml(html);
        return;
    }
    QTextDocument source;
    source.setHtml(html);
    QTextCursor sourceCursor(&source);
    if (source.blockCount() == 1 || source.firstBlock().length() > 1)
        sourceCursor.insertBlock();
    sourceCursor.movePosition(QTextCursor::Start);
    sourceCursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextCursor cursor(target);
    cursor.movePosition(QTextCursor::End);
    cursor.insertFragment(QTextDocumentFragment(sourceCursor));
}
