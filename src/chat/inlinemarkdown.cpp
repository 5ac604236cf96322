#include "chat/inlinemarkdown.h"

#include <QFont>
#include <QFontInfo>
#include <QHash>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextFragment>

namespace {

enum Marker { Bold, Italic, Strike };
const char* const MarkerText[] = {"**", "*", "~~"};

int leadingSpaces(const QString& text)
{
    int count = 0;
    while (count < text.size() && text.at(count).isSpace())
        ++count;
    return count;
}

int trailingSpaces(const QString& text)
{
    int count = 0;
    while (count < text.size() && text.at(text.size() - 1 - count).isSpace())
        ++count;
    return count;
}

QString codeSpan(QString text, bool inTable)
{
    int longest = 0;
    int run = 0;
    for (const QChar c : text) {
        run = c == QLatin1Char('`') ? run + 1 : 0;
        longest = qMax(longest, run);
    }
    if (inTable)
        text.replace(QLatin1Char('|'), QStringLiteral("\\|"));
    const QString fence(longest + 1, QLatin1Char('`'));
    const bool pad = text.startsWith(QLatin1Char('`')) || text.endsWith(QLatin1Char('`'));
    const QString space = pad ? QStringLiteral(" ") : QString();
    return fence + space + text + space + fence;
}

QString linkTarget(const QString& href)
{
    if (href.contains(QLatin1Char(' ')) || href.contains(QLatin1Char('(')))
        return QLatin1Char('<') + href + QLatin1Char('>');
    return href;
}

bool isWordCharacter(const QString& text, int at)
{
    return at >= 0 && at < text.size() && text.at(at).isLetterOrNumber();
}

// What would start a block at the beginning of a line: a heading, a quote, a list item, a
// rule or a heading underline.
bool startsBlock(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.at(0);
    const bool spaceAfter = text.size() == 1 || text.at(1).isSpace();
    if (first == QLatin1Char('#') || first == QLatin1Char('>'))
        return true;
    if ((first == QLatin1Char('-') || first == QLatin1Char('+')) && spaceAfter)
        return true;
    if (first == QLatin1Char('-') || first == QLatin1Char('=')) {
        for (const QChar c : text) {
            if (c != first && !c.isSpace())
                return false;
        }
        return true;
    }
    return false;
}

// "1. " or "1) " would start an ordered list: the position of the "." or ")", else -1.
int orderedMarkerAt(const QString& text)
{
    int digits = 0;
    while (digits < text.size() && digits < 10 && text.at(digits).isDigit())
        ++digits;
    if (digits == 0 || digits == 10 || digits >= text.size())
        return -1;
    const QChar mark = text.at(digits);
    if (mark != QLatin1Char('.') && mark != QLatin1Char(')'))
        return -1;
    return digits + 1 == text.size() || text.at(digits + 1).isSpace() ? digits : -1;
}

// Writes the fragments of one block, keeping a stack of open emphasis markers.
class Spans
{
public:
    Spans(bool heading, bool inTable)
        : heading(heading)
        , inTable(inTable)
    { }

    void add(const QTextFragment& fragment)
    {
        const QTextCharFormat format = fragment.charFormat();
        QString text = fragment.text();
        text.remove(QChar::ObjectReplacementCharacter); // images: the answer keeps no image
        text.replace(QChar::Nbsp, QLatin1Char(' '));
        QVector<Marker> wanted;
        if (!heading && format.fontWeight() > QFont::Normal)
            wanted.append(Bold);
        if (format.fontItalic())
            wanted.append(Italic);
        if (format.fontStrikeOut())
            wanted.append(Strike);
        const QString href = format.isAnchor() ? format.anchorHref() : QString();
        const bool code = InlineMarkdown::isFixedPitch(format);
        const QStringList lines = text.split(QChar::LineSeparator);
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                lineBreak();
            piece(lines.at(i), wanted, href, code);
        }
    }

    QString finish()
    {
        closeTo(0);
        closeLink();
        return out;
    }

private:
    void piece(const QString& text, const QVector<Marker>& wanted, const QString& href, bool code)
    {
        const int lead = leadingSpaces(text);
        if (lead == text.size()) {
            pendingSpace += text;
            return;
        }
        const int trail = trailingSpaces(text);
        const QString core = text.mid(lead, text.size() - lead - trail);
        const bool linkChanges = href != openHref;
        int keep = 0;
        while (!linkChanges && keep < open.size() && wanted.contains(open.at(keep)))
            ++keep;
        closeTo(keep);
        if (linkChanges)
            closeLink();
        if (!atLineStart())
            out += pendingSpace + text.left(lead);
        pendingSpace.clear();
        if (linkChanges && !href.isEmpty()) {
            out += QLatin1Char('[');
            openHref = href;
        }
        for (Marker marker : {Bold, Italic, Strike}) {
            if (wanted.contains(marker) && !open.contains(marker)) {
                out += QLatin1String(MarkerText[marker]);
                open.append(marker);
            }
        }
        out +=
            code ? codeSpan(core, inTable) : InlineMarkdown::escaped(core, atLineStart(), inTable);
        pendingSpace = text.right(trail);
    }

    void lineBreak()
    {
        pendingSpace.clear();
        out += inTable ? QStringLiteral("<br>") : QStringLiteral("\\\n");
    }

    bool atLineStart() const { return out.isEmpty() || out.endsWith(QLatin1Char('\n')); }

    void closeTo(int keep)
    {
        while (open.size() > keep)
            out += QLatin1String(MarkerText[open.takeLast()]);
    }

    void closeLink()
    {
        if (openHref.isEmpty())
            return;
        closeTo(0);
        out += QStringLiteral("](") + linkTarget(openHref) + QLatin1Char(')');
        openHref.clear();
    }

    const bool heading;
    const bool inTable;
    QString out;
    QVector<Marker> open;
    QString openHref;
    QString pendingSpace; // spaces end a piece outside its closing markers
};

} // namespace

QString InlineMarkdown::blockText(const QTextBlock& block, bool heading, bool inTable)
{
    Spans spans(heading, inTable);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().isValid())
            spans.add(it.fragment());
    }
    return spans.finish();
}

QString InlineMarkdown::escaped(const QString& text, bool lineStart, bool inTable)
{
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        bool escape = false;
        switch (c.unicode()) {
        case '\\':
        case '`':
        case '*':
        case '[':
        case ']':
            escape = true;
            break;
        case '_': // inside a word it is just a character
            escape = !isWordCharacter(text, i - 1) || !isWordCharacter(text, i + 1);
            break;
        case '~':
            escape = next == QLatin1Char('~') || (i > 0 && text.at(i - 1) == QLatin1Char('~'));
            break;
        case '<':
            escape = next.isLetter() || next == QLatin1Char('/') || next == QLatin1Char('!')
                || next == QLatin1Char('?');
            break;
        case '&':
            escape = next.isLetter() || next == QLatin1Char('#');
            break;
        case '|':
            escape = inTable;
            break;
        default:
            break;
        }
        if (escape)
            out += QLatin1Char('\\');
        out += c;
    }
    if (!lineStart)
        return out;
    if (startsBlock(out))
        return QLatin1Char('\\') + out;
    const int ordered = orderedMarkerAt(out);
    if (ordered >= 0)
        out.insert(ordered, QLatin1Char('\\'));
    return out;
}

bool InlineMarkdown::isFixedPitch(const QTextCharFormat& format)
{
    if (format.fontFixedPitch())
        return true;
    const QString family = format.fontFamily().toLower();
    if (family.isEmpty())
        return false;
    static QHash<QString, bool> known {
        {QStringLiteral("monospace"), true},   {QStringLiteral("courier"), true},
        {QStringLiteral("courier new"), true}, {QStringLiteral("consolas"), true},
        {QStringLiteral("menlo"), true},       {QStringLiteral("dejavu sans mono"), true},
    };
    auto it = known.find(family);
    if (it == known.end())
        it = known.insert(family, QFontInfo(QFont(format.fontFamily())).fixedPitch());
    return it.value();
}
