#include "chat/piecestyle.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>
#include <vector>

namespace {

// The width of a block's text on one line, measured by itself: Qt's table layout would first lay
// every cell out at its smallest and at its largest width.
qreal oneLineWidth(const QTextBlock& block, const QTextDocument& document)
{
    QTextLayout text(block.text(), document.defaultFont());
    text.setFormats(block.textFormats());
    text.setTextOption(document.defaultTextOption());
    text.beginLayout();
    for (QTextLine line = text.createLine(); line.isValid(); line = text.createLine())
        line.setLineWidth(1e6);
    text.endLayout();
    return text.maximumWidth();
}

// The list's own marker style, kept when the layout is told to draw none.
constexpr int MarkerStyle = QTextFormat::UserProperty + 1;
constexpr qreal IndentWidth = 22;
constexpr qreal QuoteIndent = 14;
constexpr qreal QuoteBarWidth = 3;
constexpr qreal MarkerGap = 7;
constexpr qreal MinColumnWidth = 90;

int headingPixelSize(int level, int base)
{
    static const int extra[] = {0, 6, 4, 2, 1, 0, 0};
    return base + extra[std::clamp(level, 0, 6)];
}

QString roman(int number)
{
    static const std::pair<int, const char*> digits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString text;
    for (const auto& [value, letters] : digits) {
        for (; number >= value; number -= value)
            text += QLatin1String(letters);
    }
    return text;
}

QString alphabetic(int number)
{
    QString text;
    for (; number > 0; number = (number - 1) / 26)
        text.prepend(QChar(u'a' + (number - 1) % 26));
    return text;
}

// The HTML export writes a quote as a paragraph indented by 40 px on both sides per level.
int quoteLevel(const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(QTextFormat::BlockQuoteLevel))
        return format.intProperty(QTextFormat::BlockQuoteLevel);
    const qreal margin = format.leftMargin();
    if (block.textList() || margin <= 0 || margin != format.rightMargin()
        || std::fmod(margin, 40) != 0)
        return 0;
    return int(margin / 40);
}

} // namespace

void PieceStyle::styleText(QTextDocument& document, const Palette& palette)
{
    document.setDefaultFont(palette.font);
    document.setIndentWidth(IndentWidth);
    document.setDocumentMargin(0);
    styleLists(document);
    styleBlocks(document, palette);
    styleFragments(document, palette);
}

void PieceStyle::styleCode(QTextDocument& document, const Palette& palette)
{
    document.setDefaultFont(palette.codeFont);
    document.setDocumentMargin(0);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(QFontMetricsF(palette.codeFont).horizontalAdvance(QLatin1Char(' '))
                              * 4);
    document.setDefaultTextOption(option);
}

void PieceStyle::styleLists(QTextDocument& document)
{
    QSet<QTextList*> done;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextList* list = block.textList();
        if (!list || done.contains(list))
            continue;
        done.insert(list);
        QTextListFormat format = list->format();
        format.setProperty(MarkerStyle, int(format.style()));
        format.setStyle(QTextListFormat::ListStyleUndefined);
        list->setFormat(format);
    }
}

void PieceStyle::styleBlocks(QTextDocument& document, const Palette& palette)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        QTextBlockFormat change;
        if (format.headingLevel() > 0) {
            change.setTopMargin(format.headingLevel() <= 2 ? 14 : 10);
            change.setBottomMargin(6);
        }
        const int quote = quoteLevel(block);
        if (quote > 0) {
            change.setProperty(QTextFormat::BlockQuoteLevel, quote);
            change.setLeftMargin(QuoteIndent * quote);
            change.setRightMargin(0);
        }
        if (format.nonBreakableLines())
            change.setBackground(palette.codeBackground);
        if (!change.properties().isEmpty()) {
            cursor.setPosition(block.position());
            cursor.mergeBlockFormat(change);
        }
    }
}

// Headings in sizes that suit a chat, code in the code font on a tint, links in the link
// colour.
void PieceStyle::styleFragments(QTextDocument& document, const Palette& palette)
{
    std::vector<std::tuple<int, int, QTextCharFormat>> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int heading = block.blockFormat().headingLevel();
        const bool codeLine = block.blockFormat().nonBreakableLines();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            const bool code = format.hasProperty(QTextFormat::FontFamily);
            if (heading == 0 && !code && !format.isAnchor())
                continue;
            if (heading > 0) {
                format.clearProperty(QTextFormat::FontPointSize);
                format.clearProperty(QTextFormat::FontSizeAdjustment);
                format.setProperty(QTextFormat::FontPixelSize,
                                   headingPixelSize(heading, palette.font.pixelSize()));
                format.setFontWeight(QFont::Bold);
            }
            if (code) {
                format.setFontFamily(palette.codeFont.family());
                format.setFontStyleHint(QFont::Monospace);
                format.setProperty(QTextFormat::FontPixelSize, palette.codeFont.pixelSize());
                if (!codeLine)
                    format.setBackground(palette.codeBackground);
            }
            if (format.isAnchor())
                format.setForeground(palette.link);
            changes.emplace_back(fragment.position(), fragment.length(), format);
        }
    }
    QTextCursor cursor(&document);
    for (const auto& [position, length, format] : changes) {
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(format);
    }
}

QTextTable* PieceStyle::tableOf(const QTextDocument& document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    }
    return nullptr;
}

void PieceStyle::styleTable(QTextDocument& document, const Palette& palette, bool header)
{
    QTextTable* table = tableOf(document);
    if (!table)
        return;
    QTextTableFormat format = table->format();
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setMargin(0);
    format.setBorderCollapse(true);
    table->setFormat(format);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
            cellFormat.setLeftPadding(CellPaddingX);
            cellFormat.setRightPadding(CellPaddingX);
            cellFormat.setTopPadding(CellPaddingY);
            cellFormat.setBottomPadding(CellPaddingY);
            // A line above every row but the table's first: the frame closes the last one.
            if (row > 0 || !header) {
                cellFormat.setTopBorder(1);
                cellFormat.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                cellFormat.setTopBorderBrush(palette.tableLine);
            }
            if (header && row == 0)
                cellFormat.setBackground(palette.tableHeader);
            cell.setFormat(cellFormat);
        }
    }
    // The blocks a document keeps before and after a table would show as empty lines.
    for (QTextBlock block : {document.firstBlock(), document.lastBlock()}) {
        if (block.length() == 1 && !QTextCursor(block).currentTable()) {
            block.setVisible(false);
            document.markContentsDirty(block.position(), block.length());
        }
    }
    document.setDefaultFont(palette.font);
    document.setDocumentMargin(0);
}

void PieceStyle::setColumnWidths(QTextDocument& document, const QVector<qreal>& widths)
{
    QTextTable* table = tableOf(document);
    if (!table || widths.size() != table->columns())
        return;
    QTextTableFormat format = table->format();
    QVector<QTextLength> constraints;
    for (qreal width : widths)
        constraints.append(QTextLength(QTextLength::FixedLength, width));
    format.setColumnWidthConstraints(constraints);
    format.setWidth(
        QTextLength(QTextLength::FixedLength, std::accumulate(widths.begin(), widths.end(), 0.0)));
    table->setFormat(format);
}

QVector<qreal> PieceStyle::naturalColumnWidths(const QTextDocument& document)
{
    QTextTable* table = tableOf(document);
    if (!table)
        return {};
    QVector<qreal> widths(table->columns(), 0);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            widths[column] = std::max(widths[column], 2 * CellPaddingX);
            for (QTextBlock block = cell.firstCursorPosition().block();
                 block.isValid() && block.position() <= cell.lastCursorPosition().position();
                 block = block.next()) {
                const qreal text = oneLineWidth(block, document);
                widths[column] = std::max(widths[column], std::ceil(text) + 2 * CellPaddingX);
            }
        }
    }
    return widths;
}

QVector<qreal> PieceStyle::fitColumns(const QVector<qreal>& natural, qreal available)
{
    const qreal total = std::accumulate(natural.begin(), natural.end(), 0.0);
    if (total <= available || natural.isEmpty())
        return natural;
    // The widest columns give up width first: find the cap that makes the sum fit.
    QVector<qreal> sorted = natural;
    std::sort(sorted.begin(), sorted.end());
    qreal left = available;
    qreal cap = MinColumnWidth;
    for (int i = 0; i < sorted.size(); ++i) {
        const qreal share = left / (sorted.size() - i);
        if (sorted.at(i) > share) {
            cap = share;
            break;
        }
        left -= sorted.at(i);
    }
    cap = std::max(cap, MinColumnWidth);
    QVector<qreal> widths;
    for (qreal width : natural)
        widths.append(std::min(width, cap));
    return widths;
}

QString PieceStyle::markerText(int style, int number)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
        return alphabetic(number) + QLatin1Char('.');
    case QTextListFormat::ListUpperAlpha:
        return alphabetic(number).toUpper() + QLatin1Char('.');
    case QTextListFormat::ListLowerRoman:
        return roman(number) + QLatin1Char('.');
    case QTextListFormat::ListUpperRoman:
        return roman(number).toUpper() + QLatin1Char('.');
    default:
        return QString::number(number) + QLatin1Char('.');
    }
}

void PieceStyle::paintDecorations(QPainter* painter, QTextDocument& document, const QRectF& clip,
                                  int listStart, const Palette& palette)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    QTextList* continued = document.begin().textList();
    const QFontMetricsF metrics(palette.font);
    painter->save();
    painter->setFont(palette.font);
    painter->setRenderHint(QPainter::Antialiasing);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        if (rect.bottom() < clip.top())
            continue;
        if (rect.top() > clip.bottom())
            break;
        const int quote = block.blockFormat().intProperty(QTextFormat::BlockQuoteLevel);
        for (int level = 0; level < quote; ++level)
            painter->fillRect(QRectF(QuoteIndent * level, rect.top(), QuoteBarWidth, rect.height()),
                              palette.quoteBar);
        QTextList* list = block.textList();
        const QTextLayout* text = block.layout();
        if (!list || !list->format().hasProperty(MarkerStyle) || !text || text->lineCount() == 0)
            continue;
        const QTextLine line = text->lineAt(0);
        const qreal baseline = text->position().y() + line.y() + line.ascent();
        const qreal textStart = text->position().x() + line.x();
        const int style = list->format().intProperty(MarkerStyle);
        painter->setPen(palette.marker);
        painter->setBrush(palette.marker);
        if (style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
            || style == QTextListFormat::ListSquare) {
            const qreal radius = std::max<qreal>(2, metrics.xHeight() * 0.3);
            const QPointF centre(textStart - MarkerGap - radius, baseline - metrics.xHeight() / 2);
            const QRectF dot(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
            if (style == QTextListFormat::ListSquare) {
                painter->drawRect(dot.adjusted(0.5, 0.5, -0.5, -0.5));
            } else {
                if (style == QTextListFormat::ListCircle)
                    painter->setBrush(Qt::NoBrush);
                painter->drawEllipse(dot);
            }
            continue;
        }
        const int number = list->itemNumber(block) + 1 + (list == continued ? listStart : 0);
        const QString marker = markerText(style, number);
        painter->drawText(
            QPointF(textStart - MarkerGap - metrics.horizontalAdvance(marker), baseline), marker);
    }
    painter->restore();
}
