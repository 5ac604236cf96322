#include "chat/richtextpiece.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QQuickWindow>

#include <algorithm>

namespace {

constexpr qreal BlockSpacing = 12; // above and below a code block or a table

PieceDocuments::Kind kindOf(const QString& name)
{
    if (name == QLatin1String("code"))
        return PieceDocuments::Kind::Code;
    if (name == QLatin1String("table"))
        return PieceDocuments::Kind::Table;
    return PieceDocuments::Kind::Text;
}

} // namespace

RichTextPiece::RichTextPiece(QQuickItem* parent)
    : QQuickItem(parent)
    , textColor(Qt::black)
    , selectionColor(QColor(0x33, 0x67, 0xD1))
    , selectedTextColor(Qt::white)
{
    setFlag(ItemHasContents);
    settings.palette.font.setPixelSize(14);
    settings.palette.codeFont = QFont(QStringLiteral("monospace"));
    settings.palette.codeFont.setStyleHint(QFont::Monospace);
    settings.palette.codeFont.setPixelSize(13);
    settings.palette.text = textColor;
    settings.palette.link = QColor(0x33, 0x67, 0xD1);
    settings.palette.marker = textColor;
    settings.palette.codeBackground = QColor(0xF2, 0xF4, 0xF7);
    settings.palette.tableLine = QColor(0xE7, 0xE7, 0xE7);
    settings.palette.tableHeader = QColor(0xF4, 0xF6, 0xF7);
    settings.palette.quoteBar = settings.palette.tableLine;
}

RichTextPiece::~RichTextPiece() = default;

QString RichTextPiece::kind() const
{
    return pieceKind;
}

void RichTextPiece::setKind(const QString& kind)
{
    if (pieceKind == kind)
        return;
    pieceKind = kind;
    settings.kind = kindOf(kind);
    refresh();
}

QString RichTextPiece::source() const
{
    return text;
}

void RichTextPiece::setSource(const QString& source)
{
    if (text == source)
        return;
    text = source;
    refresh();
}

QString RichTextPiece::language() const
{
    return settings.language;
}

void RichTextPiece::setLanguage(const QString& language)
{
    if (settings.language == language)
        return;
    settings.language = language;
    refresh();
}

int RichTextPiece::listStart() const
{
    return listOffset;
}

void RichTextPiece::setListStart(int count)
{
    if (listOffset == count)
        return;
    listOffset = count;
    repaint();
    emit contentChanged();
}

qreal RichTextPiece::availableWidth() const
{
    return settings.width;
}

void RichTextPiece::setAvailableWidth(qreal width)
{
    if (qFuzzyCompare(settings.width, width))
        return;
    settings.width = width;
    refresh();
}

QFont RichTextPiece::font() const
{
    return settings.palette.font;
}

void RichTextPiece::setFont(const QFont& font)
{
    if (settings.palette.font == font)
        return;
    settings.palette.font = font;
    settings.palette.codeFont.setPixelSize(std::max(1, font.pixelSize() - 1));
    refresh();
    emit styleChanged();
}

void RichTextPiece::setColor(const QColor& color)
{
    if (textColor == color)
        return;
    textColor = color;
    repaint();
    emit styleChanged();
}

// Colours that the documents hold: setting one makes them anew.
#define LUMORA_PALETTE_COLOUR(getter, setter, member)                                              \
    QColor RichTextPiece::getter() const                                                           \
    {                                                                                              \
        return settings.palette.member;                                                            \
    }                                                                                              \
    void RichTextPiece::setter(const QColor& color)                                                \
    {                                                                                              \
        if (settings.palette.member == color)                                                      \
            return;                                                                                \
        settings.palette.member = color;                                                           \
        refresh();                                                                                 \
        emit styleChanged();                                                                       \
    }
LUMORA_PALETTE_COLOUR(linkColor, setLinkColor, link)
LUMORA_PALETTE_COLOUR(markerColor, setMarkerColor, marker)
LUMORA_PALETTE_COLOUR(codeBackground, setCodeBackground, codeBackground)
LUMORA_PALETTE_COLOUR(lineColor, setLineColor, tableLine)
LUMORA_PALETTE_COLOUR(headerColor, setHeaderColor, tableHeader)
#undef LUMORA_PALETTE_COLOUR

void RichTextPiece::setSelectionColor(const QColor& color)
{
    if (selectionColor == color)
        return;
    selectionColor = color;
    repaint();
    emit styleChanged();
}

void RichTextPiece::setSelectedTextColor(const QColor& color)
{
    if (selectedTextColor == color)
        return;
    selectedTextColor = color;
    repaint();
    emit styleChanged();
}

bool RichTextPiece::dark() const
{
    return settings.dark;
}

void RichTextPiece::setDark(bool value)
{
    if (settings.dark == value)
        return;
    settings.dark = value;
    refresh();
    emit styleChanged();
}

void RichTextPiece::copyCode() const
{
    if (settings.kind == PieceDocuments::Kind::Code)
        QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

const PieceDocuments& RichTextPiece::content() const
{
    return documents;
}

void RichTextPiece::setSelection(int start, int end)
{
    if (start == selection.start && end == selection.end)
        return;
    selection.start = start;
    selection.end = end;
    repaint();
}

qreal RichTextPiece::topMargin() const
{
    return isText() ? documents.topMargin() : BlockSpacing;
}

qreal RichTextPiece::bottomMargin() const
{
    return isText() ? documents.bottomMargin() : BlockSpacing;
}

bool RichTextPiece::isText() const
{
    return settings.kind == PieceDocuments::Kind::Text;
}

// Brings the documents up to date; they are made while the item is built only once all its
// properties are set.
void RichTextPiece::refresh()
{
    if (!isComponentComplete())
        return;
    settings.palette.quoteBar = settings.palette.tableLine;
    const qreal changedFrom = documents.set(text, settings);
    if (changedFrom < 0)
        return;
    const QSizeF size = documents.size();
    setImplicitSize(isText() ? settings.width : size.width(), size.height());
    repaint(changedFrom);
    emit contentChanged();
}

void RichTextPiece::repaint(qreal from)
{
    tiles.invalidate(from);
    update();
}

void RichTextPiece::componentComplete()
{
    QQuickItem::componentComplete();
    refresh();
}

// Scrolling moves the piece without changing it: after every frame it checks whether the
// window now shows a part of it that is not painted yet.
void RichTextPiece::itemChange(ItemChange change, const ItemChangeData& value)
{
    if (change == ItemSceneChange) {
        disconnect(frameWatch);
        if (value.window) {
            frameWatch = connect(value.window, &QQuickWindow::afterAnimating, this,
                                 &RichTextPiece::afterFrame);
        }
    }
    QQuickItem::itemChange(change, value);
}

void RichTextPiece::afterFrame()
{
    const QRectF area = tiles.visibleArea();
    if (shown != !area.isEmpty()) {
        shown = !area.isEmpty();
        emit inViewChanged();
    }
    if (tiles.isBehind(area))
        update();
}

bool RichTextPiece::inView() const
{
    return shown;
}

QSGNode* RichTextPiece::updatePaintNode(QSGNode* node, UpdatePaintNodeData*)
{
    selection.background = selectionColor;
    selection.foreground = selectedTextColor;
    return tiles.update(node, [this](QPainter* painter, const QRectF& area) {
        documents.paint(painter, area, textColor, selection, listOffset);
    });
}
