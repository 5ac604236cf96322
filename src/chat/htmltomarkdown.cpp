#include "chat/htmltomarkdown.h"

#include "chat/inlinemarkdown.h"

#include <QFontInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

namespace {

enum class Kind { None, Paragraph, ListItem, Code, Other };

// How the Markdown import lays out a quote: each level indents 40 px on both sides.
constexpr qreal QuoteIndent = 40;

int headingLevel(const QTextBlock& block)
{
    return block.blockFormat().headingLevel();
}

int quoteLevel(const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(QTextFormat::BlockQuoteLevel))
        return format.intProperty(QTextFormat::BlockQuoteLevel);
    if (block.textList() || format.leftMargin() < QuoteIndent)
        return 0;
    return qRound(format.leftMargin() / QuoteIndent);
}

bool hasNoVerticalMargins(const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    return qFuzzyIsNull(format.topMargin()) && qFuzzyIsNull(format.bottomMargin());
}

// A line of a code block: kept line breaks, or fixed pitch throughout on a block without
// margins (a paragraph that is just inline code keeps its margins).
bool isCodeLine(const QTextBlock& block)
{
    if (block.textList() || headingLevel(block) > 0 || block.text().isEmpty())
        return false;
    if (block.blockFormat().nonBreakableLines())
        return true;
    if (!hasNoVerticalMargins(block))
        return false;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid() && !InlineMarkdown::isFixedPitch(fragment.charFormat()))
            return false;
    }
    return true;
}

// An empty line inside a code block looks the same; it counts only when more code follows.
bool mayBeEmptyCodeLine(const QTextBlock& block)
{
    return block.text().isEmpty() && !block.textList()
        && (block.blockFormat().nonBreakableLines()
            || (hasNoVerticalMargins(block) && InlineMarkdown::isFixedPitch(block.charFormat())));
}

bool isRule(const QTextBlock& block)
{
    return block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth);
}

bool isOrdered(QTextListFormat::Style style)
{
    return style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle
        && style != QTextListFormat::ListSquare;
}

QString fence(const QStringList& code)
{
    static const QRegularExpression backticks(QStringLiteral("`{3,}"));
    int longest = 2;
    for (const QString& line : code) {
        QRegularExpressionMatchIterator it = backticks.globalMatch(line);
        while (it.hasNext())
            longest = qMax(longest, it.next().capturedLength());
    }
    return QString(longest + 1, QLatin1Char('`'));
}

class Writer
{
public:
    QString run(QTextDocument& document)
    {
        frame(document.rootFrame());
        flushCode();
        while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
            lines.removeLast();
        return lines.join(QLatin1Char('\n'));
    }

private:
    void frame(QTextFrame* frame)
    {
        for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextTable* child = qobject_cast<QTextTable*>(it.currentFrame()))
                table(child);
            else if (it.currentFrame())
                this->frame(it.currentFrame());
            else
                block(it.currentBlock());
        }
    }

    void block(const QTextBlock& block)
    {
        if (isCodeLine(block)) {
            for (; emptyCodeLines > 0; --emptyCodeLines)
                code.append(QString());
            code.append(block.text().replace(QChar::LineSeparator, QLatin1Char('\n')));
            return;
        }
        if (!code.isEmpty() && mayBeEmptyCodeLine(block)) {
            ++emptyCodeLines;
            return;
        }
        flushCode();
        if (isRule(block)) {
            start(Kind::Other, 0);
            lines.append(QStringLiteral("---"));
            return;
        }
        if (block.textList()) {
            listItem(block);
            return;
        }
        const int heading = headingLevel(block);
        const QString text = InlineMarkdown::blockText(block, heading > 0, false);
        if (text.trimmed().isEmpty())
            return;
        const int quote = quoteLevel(block);
        const QString prefix = QStringLiteral("> ").repeated(quote);
        start(heading > 0 ? Kind::Other : Kind::Paragraph, quote);
        if (heading > 0)
            addLines(QString(heading, QLatin1Char('#')) + QLatin1Char(' ') + text, prefix, prefix);
        else
            addLines(text, prefix, prefix);
    }

    void listItem(const QTextBlock& block)
    {
        QTextList* list = block.textList();
        const QTextListFormat format = list->format();
        const int level = qMax(1, format.indent());
        QString marker = isOrdered(format.style())
            ? QString::number(list->itemNumber(block) + 1) + QLatin1Char('.')
            : QStringLiteral("-");
        if (block.blockFormat().marker() == QTextBlockFormat::MarkerType::Checked)
            marker += QStringLiteral(" [x]");
        else if (block.blockFormat().marker() == QTextBlockFormat::MarkerType::Unchecked)
            marker += QStringLiteral(" [ ]");
        // A nested item starts where the text of the item around it starts.
        listWidths.resize(level);
        int indent = 0;
        for (int i = 0; i + 1 < level; ++i)
            indent += listWidths.at(i);
        const int markerWidth = marker.indexOf(QLatin1Char(' ')) < 0
            ? marker.size() + 1
            : marker.indexOf(QLatin1Char(' ')) + 1;
        listWidths[level - 1] = markerWidth;
        const QString quote = QStringLiteral("> ").repeated(quoteLevel(block));
        const QString text = InlineMarkdown::blockText(block, false, false);
        // Two lists in a row are kept apart by a blank line.
        const bool anotherList = level == 1 && list != topList;
        if (level == 1)
            topList = list;
        start(Kind::ListItem, quoteLevel(block), anotherList);
        addLines(text, quote + QString(indent, QLatin1Char(' ')) + marker + QLatin1Char(' '),
                 quote + QString(indent + markerWidth, QLatin1Char(' ')));
    }

    void table(QTextTable* table)
    {
        flushCode();
        start(Kind::Other, 0);
        for (int row = 0; row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column)
                cells.append(cellText(table, row, column));
            lines.append(QStringLiteral("| ") + cells.join(QStringLiteral(" | "))
                         + QStringLiteral(" |"));
            if (row == 0)
                lines.append(separatorRow(table));
        }
    }

    static QString cellText(QTextTable* table, int row, int column)
    {
        const QTextTableCell cell = table->cellAt(row, column);
        if (cell.row() != row || cell.column() != column)
            return QString(); // covered by a spanning cell
        QStringList parts;
        for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
            // The bold of the header row is its style.
            const QString text = InlineMarkdown::blockText(it.currentBlock(), row == 0, true);
            if (!text.trimmed().isEmpty())
                parts.append(text.trimmed());
        }
        return parts.join(QStringLiteral("<br>"));
    }

    static QString separatorRow(QTextTable* table)
    {
        QStringList cells;
        for (int column = 0; column < table->columns(); ++column) {
            const Qt::Alignment alignment = columnAlignment(table, column);
            if (alignment & Qt::AlignHCenter)
                cells.append(QStringLiteral(":---:"));
            else if (alignment & Qt::AlignRight)
                cells.append(QStringLiteral("---:"));
            else
                cells.append(QStringLiteral("---"));
        }
        return QStringLiteral("| ") + cells.join(QStringLiteral(" | ")) + QStringLiteral(" |");
    }

    // A column is centred or right-aligned when a cell of it is (every cell reads as left
    // aligned otherwise, and the header row carries no alignment of its own).
    static Qt::Alignment columnAlignment(QTextTable* table, int column)
    {
        for (int row = 0; row < table->rows(); ++row) {
            const Qt::Alignment alignment =
                table->cellAt(row, column).firstCursorPosition().blockFormat().alignment();
            if (alignment & (Qt::AlignHCenter | Qt::AlignRight))
                return alignment;
        }
        return {};
    }

    void flushCode()
    {
        emptyCodeLines = 0;
        if (code.isEmpty())
            return;
        start(Kind::Code, 0);
        const QString marks = fence(code);
        lines.append(marks);
        lines.append(code);
        lines.append(marks);
        code.clear();
    }

    // The blank line between two blocks; none between the items of a list. A blank line
    // between two blocks of one quote stays inside the quote.
    void start(Kind kind, int quote, bool anotherList = false)
    {
        const bool sameList = kind == Kind::ListItem && previous == Kind::ListItem && !anotherList;
        if (!lines.isEmpty() && !sameList) {
            const int shared = quote == previousQuote ? quote : 0;
            lines.append(QStringLiteral(">").repeated(shared));
        }
        if (kind != Kind::ListItem) {
            listWidths.clear();
            topList = nullptr;
        }
        previous = kind;
        previousQuote = quote;
    }

    void addLines(const QString& text, const QString& firstPrefix, const QString& restPrefix)
    {
        const QStringList parts = text.split(QLatin1Char('\n'));
        for (int i = 0; i < parts.size(); ++i)
            lines.append((i == 0 ? firstPrefix : restPrefix) + parts.at(i));
    }

    QStringList lines;
    QStringList code; // the code block being collected
    int emptyCodeLines = 0; // empty lines after it, kept if more code follows
    QVector<int> listWidths; // width of the marker of the open item on each level
    QTextList* topList = nullptr; // the outermost list being written
    Kind previous = Kind::None;
    int previousQuote = 0;
};

} // namespace

QString HtmlToMarkdown::convert(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return Writer().run(document);
}

QString HtmlToMarkdown::escaped(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = InlineMarkdown::escaped(lines.at(i).trimmed(), true, false);
        // A line break inside a paragraph stays a line break.
        if (!line.isEmpty() && i + 1 < lines.size() && !lines.at(i + 1).trimmed().isEmpty())
            line += QLatin1Char('\\');
        lines[i] = line;
    }
    return lines.join(QLatin1Char('\n')).trimmed();
}
