#include "chat/piecedocuments.h"

#include "chat/codehighlighting.h"
#include "chat/htmlblocks.h"
#include "chat/textprefix.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace {

bool sameBlock(const QTextBlock& a, const QTextBlock& b)
{
    if (a.text() != b.text() || a.blockFormat() != b.blockFormat()
        || a.charFormat() != b.charFormat() || !a.textList() != !b.textList()
        || (a.textList() && a.textList()->format() != b.textList()->format()))
        return false;
    for (auto x = a.begin(), y = b.begin();; ++x, ++y) {
        if (x.atEnd() || y.atEnd())
            return x.atEnd() && y.atEnd();
        if (x.fragment().length() != y.fragment().length()
            || x.fragment().charFormat() != y.fragment().charFormat())
            return false;
    }
}

// How many leading blocks two documents of text have alike (none when either holds a frame,
// a table, whose cells' blocks have places of their own).
int sameLeadingBlocks(const QTextDocument& a, const QTextDocument& b)
{
    if (!a.rootFrame()->childFrames().isEmpty() || !b.rootFrame()->childFrames().isEmpty())
        return 0;
    int same = 0;
    for (QTextBlock x = a.begin(), y = b.begin(); x.isValid() && y.isValid() && sameBlock(x, y);
         x = x.next(), y = y.next())
        ++same;
    return same;
}

bool samePalette(const PieceStyle::Palette& a, const PieceStyle::Palette& b)
{
    return a.font == b.font && a.codeFont == b.codeFont && a.link == b.link && a.marker == b.marker
        && a.codeBackground == b.codeBackground && a.tableLine == b.tableLine
        && a.tableHeader == b.tableHeader && a.quoteBar == b.quoteBar;
}

} // namespace

PieceDocuments::PieceDocuments() = default;
PieceDocuments::~PieceDocuments() = default;

qreal PieceDocuments::set(const QString& source, const Settings& settings)
{
    const bool fresh = settings.kind != current.kind || settings.language != current.language
        || settings.dark != current.dark || !samePalette(settings.palette, current.palette)
        || (settings.kind == Kind::Table && !qFuzzyCompare(settings.width, current.width));
    const bool widthChanged = !qFuzzyCompare(settings.width, current.width);
    current = settings;
    if (fresh)
        clear();
    if (widthChanged)
        laidOut = 0;
    qreal changedFrom = -1;
    switch (settings.kind) {
    case Kind::Text:
        changedFrom = setText(source);
        break;
    case Kind::Code:
        changedFrom = setCode(source);
        break;
    case Kind::Table:
        changedFrom = setTable(source);
        break;
    }
    if (changedFrom >= 0 || widthChanged) {
        layout();
        if (widthChanged)
            changedFrom = 0;
        else if (settings.kind == Kind::Text)
            changedFrom = textChangedFrom();
    }
    return changedFrom;
}

// Where the text's last change shows: from the top of the last block it left as it was, so that
// the space between that block and the first changed one is painted again too.
qreal PieceDocuments::textChangedFrom() const
{
    if (sameBlocks < 2 || parts.size() != 1)
        return 0;
    const QTextDocument& document = *parts.front().document;
    return document.documentLayout()
        ->blockBoundingRect(document.findBlockByNumber(sameBlocks - 1))
        .top();
}

void PieceDocuments::clear()
{
    parts.clear();
    tableHtml.clear();
    laidOut = 0;
    columnWidths.clear();
    extent = QSizeF();
}

QSizeF PieceDocuments::size() const
{
    return extent;
}

std::unique_ptr<QTextDocument> PieceDocuments::newDocument(const QString& html) const
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(current.palette.font);
    document->setDocumentMargin(0);
    // Without a body tag Qt puts an extra empty block before a first block that is empty (an
    // empty heading, a blank line of code written as a paragraph): one blank line too many.
    const int bodyAt = html.indexOf(HtmlBlocks::headEnd());
    if (bodyAt < 0)
        document->setHtml(html);
    else
        document->setHtml(
            QString(html).insert(bodyAt + HtmlBlocks::headEnd().size(), QLatin1String("<body>")));
    return document;
}

qreal PieceDocuments::setText(const QString& html)
{
    if (parts.size() == 1 && parts.front().source == html)
        return -1;
    Part part;
    part.document = newDocument(html);
    PieceStyle::styleText(*part.document, current.palette);
    part.source = html;
    sameBlocks = parts.size() == 1 ? sameLeadingBlocks(*parts.front().document, *part.document) : 0;
    parts.clear();
    laidOut = 0;
    parts.push_back(std::move(part));
    return 0;
}

qreal PieceDocuments::setCode(const QString& code)
{
    if (parts.empty()) {
        Part part;
        part.document = std::make_unique<QTextDocument>();
        part.document->setUndoRedoEnabled(false);
        PieceStyle::styleCode(*part.document, current.palette);
        CodeHighlighting::attach(part.document.get(), current.language, current.dark);
        parts.push_back(std::move(part));
    }
    Part& part = parts.front();
    const int common = TextPrefix::commonLength(part.source, code);
    if (common == part.source.size() && common == code.size())
        return -1;
    const qreal from =
        part.document->documentLayout()->blockBoundingRect(part.document->findBlock(common)).top();
    QTextCursor cursor(part.document.get());
    cursor.setPosition(common);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(code.mid(common));
    laidOut = 0;
    part.source = code;
    return std::max<qreal>(0, from);
}

// Places the parts from the first one that changed; those above it stay where they are.
void PieceDocuments::layout()
{
    const std::size_t first = std::min(laidOut, parts.size());
    qreal y = 0;
    qreal width = current.kind == Kind::Text ? current.width : 0;
    int position = 0;
    if (first > 0) {
        const Part& above = parts.at(first - 1);
        y = above.y + above.height;
        width = above.widest;
        position = above.start + above.to - above.from + 1;
    }
    for (std::size_t index = first; index < parts.size(); ++index) {
        Part& part = parts[index];
        QTextDocument* document = part.document.get();
        if (current.kind == Kind::Text && !qFuzzyCompare(document->textWidth(), current.width))
            document->setTextWidth(current.width);
        part.y = y;
        part.start = position;
        part.from = 0;
        part.to = document->characterCount() - 1;
        // A table piece is the table alone; a table that text holds stays part of the text.
        const QTextTable* table =
            current.kind == Kind::Table ? PieceStyle::tableOf(*document) : nullptr;
        if (table) {
            part.from = table->firstPosition();
            part.to = table->lastPosition();
        }
        const QSizeF size = document->documentLayout()->documentSize();
        part.height = size.height();
        y += part.height;
        width = std::max(width, size.width());
        part.widest = width;
        position += part.to - part.from + 1;
    }
    laidOut = parts.size();
    extent = QSizeF(std::ceil(width), std::ceil(y));
}

int PieceDocuments::length() const
{
    if (parts.empty())
        return 0;
    return parts.back().start + parts.back().to - parts.back().from;
}

int PieceDocuments::partAt(int position) const
{
    int index = 0;
    while (index + 1 < int(parts.size()) && parts.at(index + 1).start <= position)
        ++index;
    return index;
}

int PieceDocuments::partAtY(qreal y) const
{
    int index = 0;
    while (index + 1 < int(parts.size()) && parts.at(index + 1).y <= y)
        ++index;
    return index;
}

int PieceDocuments::toLocal(const Part& part, int position)
{
    return part.from + std::clamp(position - part.start, 0, part.to - part.from);
}

int PieceDocuments::toPiece(const Part& part, int local)
{
    return part.start + std::clamp(local, part.from, part.to) - part.from;
}

// A cursor in part's document over the piece positions [start, end), clipped to the part.
QTextCursor PieceDocuments::cursorIn(const Part& part, int start, int end) const
{
    QTextCursor cursor(part.document.get());
    cursor.setPosition(toLocal(part, start));
    cursor.setPosition(toLocal(part, end), QTextCursor::KeepAnchor);
    return cursor;
}

int PieceDocuments::positionAt(const QPointF& point) const
{
    if (parts.empty())
        return 0;
    const Part& part = parts.at(partAtY(point.y()));
    const QPointF local(point.x(), point.y() - part.y);
    return toPiece(part, part.document->documentLayout()->hitTest(local, Qt::FuzzyHit));
}

QRectF PieceDocuments::cursorRect(int position) const
{
    if (parts.empty())
        return QRectF();
    const Part& part = parts.at(partAt(position));
    const int local = cursorIn(part, position, position).position();
    const QTextBlock block = part.document->findBlock(local);
    const QTextLayout* text = block.layout();
    const QTextLine line = text ? text->lineForTextPosition(local - block.position()) : QTextLine();
    if (!line.isValid())
        return QRectF(0, part.y, 1, 1);
    const qreal x = line.cursorToX(local - block.position());
    return QRectF(text->position().x() + x, part.y + text->position().y() + line.y(), 1,
                  line.height());
}

int PieceDocuments::moved(int position, QTextCursor::MoveOperation op) const
{
    if (parts.empty())
        return -1;
    const int index = partAt(position);
    const Part& part = parts.at(index);
    QTextCursor cursor = cursorIn(part, position, position);
    const int before = cursor.position();
    if (cursor.movePosition(op) && cursor.position() != before && cursor.position() >= part.from
        && cursor.position() <= part.to)
        return toPiece(part, cursor.position());
    // Out of this document: into the next or the one before, if there is one.
    const bool down = op == QTextCursor::Down;
    const bool up = op == QTextCursor::Up;
    const bool forward = down || op == QTextCursor::Right || op == QTextCursor::NextCharacter
        || op == QTextCursor::NextWord || op == QTextCursor::WordRight;
    const bool backward = up || op == QTextCursor::Left || op == QTextCursor::PreviousCharacter
        || op == QTextCursor::PreviousWord || op == QTextCursor::WordLeft;
    const qreal x = cursorRect(position).x();
    if (forward && index + 1 < int(parts.size()))
        return down ? positionAt(QPointF(x, parts.at(index + 1).y + 1)) : parts.at(index + 1).start;
    if (backward && index > 0)
        return up ? positionAt(QPointF(x, part.y - 1)) : part.start - 1;
    return -1;
}

QPair<int, int> PieceDocuments::unitAt(int position, QTextCursor::SelectionType unit) const
{
    if (parts.empty())
        return {0, 0};
    const Part& part = parts.at(partAt(position));
    QTextCursor cursor = cursorIn(part, position, position);
    if (unit == QTextCursor::BlockUnderCursor) {
        const QTextBlock block = cursor.block();
        return {toPiece(part, block.position()),
                toPiece(part, block.position() + block.length() - 1)};
    }
    cursor.select(unit);
    return {toPiece(part, cursor.selectionStart()), toPiece(part, cursor.selectionEnd())};
}

// As QTextDocument::toPlainText() gives it: blocks (a table's cells) joined by line breaks,
// but without the empty lines that a table's frame adds before and after it.
QString PieceDocuments::plainText(int start, int end) const
{
    QStringList texts;
    for (const Part& part : parts) {
        const int last = part.start + part.to - part.from;
        if (end <= part.start || start > last) {
            if (end == part.start && start < end)
                texts.append(QString()); // the selection ends where this part starts
            continue;
        }
        if (!PieceStyle::tableOf(*part.document)) {
            texts.append(QTextDocumentFragment(cursorIn(part, start, end)).toPlainText());
            continue;
        }
        // A cursor over several cells would select whole cells: the blocks are read directly.
        const int first = toLocal(part, start);
        const int stop = toLocal(part, end);
        QStringList cells;
        for (QTextBlock block = part.document->findBlock(first);
             block.isValid() && block.position() <= stop; block = block.next()) {
            const int from = std::max(first, block.position()) - block.position();
            const int to = std::min(stop, block.position() + block.length() - 1) - block.position();
            cells.append(block.text().mid(from, to - from));
        }
        texts.append(cells.join(QLatin1Char('\n'))
                         .replace(QChar::LineSeparator, QLatin1Char('\n'))
                         .replace(QChar::Nbsp, QLatin1Char(' ')));
    }
    return texts.join(QLatin1Char('\n'));
}

QTextDocumentFragment PieceDocuments::fragment(int start, int end) const
{
    QTextDocument combined;
    QTextCursor out(&combined);
    bool first = true;
    for (const Part& part : parts) {
        const int last = part.start + part.to - part.from;
        if (end <= part.start || start > last)
            continue;
        const QTextDocumentFragment selected(cursorIn(part, start, end));
        if (!first && current.kind == Kind::Table && appendTableRows(combined, selected))
            continue;
        if (!first)
            out.insertBlock();
        out.insertFragment(selected);
        first = false;
    }
    return QTextDocumentFragment(&combined);
}

qreal PieceDocuments::topMargin() const
{
    return parts.empty() ? 0 : parts.front().document->firstBlock().blockFormat().topMargin();
}

qreal PieceDocuments::bottomMargin() const
{
    return parts.empty() ? 0 : parts.back().document->lastBlock().blockFormat().bottomMargin();
}

QVector<QTextDocument*> PieceDocuments::documents() const
{
    QVector<QTextDocument*> list;
    for (const Part& part : parts)
        list.append(part.document.get());
    return list;
}

void PieceDocuments::paint(QPainter* painter, const QRectF& area, const QColor& textColor,
                           const Selection& selection, int listStart) const
{
    for (int index = partAtY(area.top()); index < int(parts.size()); ++index) {
        const Part& part = parts.at(index);
        if (part.y > area.bottom())
            break;
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = area.translated(0, -part.y);
        context.palette.setColor(QPalette::Text, textColor);
        const QTextCursor selected = cursorIn(part, selection.start, selection.end);
        if (selection.start < selection.end && selected.hasSelection()) {
            QAbstractTextDocumentLayout::Selection range;
            range.cursor = selected;
            range.format.setBackground(selection.background);
            range.format.setForeground(selection.foreground);
            context.selections.append(range);
        }
        painter->save();
        painter->translate(0, part.y);
        part.document->documentLayout()->draw(painter, context);
        if (current.kind == Kind::Text)
            PieceStyle::paintDecorations(painter, *part.document, context.clip, listStart,
                                         current.palette);
        painter->restore();
    }
}
