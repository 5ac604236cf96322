#include "randommarkdown.h"

#include <QStringList>

namespace {

const QStringList Words {
    QStringLiteral("switch"),
    QStringLiteral("keyboard"),
    QStringLiteral("**bold**"),
    QStringLiteral("*italic*"),
    QStringLiteral("`code`"),
    QStringLiteral("`<b>x</b>`"),
    QStringLiteral("[link](https://orvik.example/a)"),
    QStringLiteral("键盘"),
    QStringLiteral("线性轴手感顺滑"),
    QStringLiteral("😀"),
    QStringLiteral("<b>tag</b>"),
    QStringLiteral("H<sub>2</sub>O"),
    QStringLiteral("x<sup>2</sup>"),
    QStringLiteral("a<br>b"),
    QStringLiteral("<kbd>Ctrl</kbd>"),
    QStringLiteral("<span>no</span>"),
    QStringLiteral("<i>"),
    QStringLiteral("1."),
    QStringLiteral("-"),
    QStringLiteral("#"),
    QStringLiteral("|"),
    QStringLiteral("_under_"),
    QStringLiteral("~~gone~~"),
    QStringLiteral("&amp;"),
    QStringLiteral("2024"),
    QStringLiteral("***"),
};

} // namespace

quint32 RandomMarkdown::seed()
{
    bool ok = false;
    const quint32 fromEnvironment = qEnvironmentVariable("LUMORA_TEST_SEED").toUInt(&ok);
    return ok ? fromEnvironment : 20261210u;
}

RandomMarkdown::RandomMarkdown(quint32 seed)
    : random(seed)
{ }

int RandomMarkdown::pick(int count)
{
    return int(random.bounded(quint32(count)));
}

QString RandomMarkdown::inlineText()
{
    QStringList words;
    const int count = 1 + pick(8);
    for (int i = 0; i < count; ++i)
        words.append(Words.at(pick(Words.size())));
    return words.join(QLatin1Char(' '));
}

QString RandomMarkdown::answer(int blocks)
{
    static const QStringList Separators {QStringLiteral("\n"), QStringLiteral("\n\n"),
                                         QStringLiteral("\n\n"), QStringLiteral("\n\n\n")};
    QString text;
    for (int i = 0; i < blocks; ++i) {
        if (i > 0)
            text += Separators.at(pick(Separators.size()));
        text += block();
    }
    if (pick(8) == 0)
        text += QStringLiteral("\n\n```python\ndef unfinished():\n\n    pass");
    return text;
}

QString RandomMarkdown::block()
{
    switch (pick(12)) {
    case 0:
        return QString(1 + pick(3), QLatin1Char('#')) + QLatin1Char(' ') + inlineText();
    case 1:
        return inlineText() + (pick(2) ? QStringLiteral("\n===") : QStringLiteral("\n---"));
    case 2:
        return QStringLiteral("#");
    case 3:
    case 4:
        return list();
    case 5:
        return table();
    case 6:
        return fence();
    case 7:
        return quote();
    case 8:
        return QStringList {QStringLiteral("---"), QStringLiteral("***"), QStringLiteral("___")}.at(
            pick(3));
    default:
        return inlineText() + (pick(3) == 0 ? QStringLiteral("\n") + inlineText() : QString());
    }
}

QString RandomMarkdown::list()
{
    const bool ordered = pick(2);
    QString text;
    const int items = 1 + pick(6);
    for (int item = 1; item <= items; ++item) {
        const QString marker =
            ordered ? QString::number(item) + QStringLiteral(". ") : QStringLiteral("- ");
        const QString indent(marker.size(), QLatin1Char(' '));
        switch (pick(9)) {
        case 0:
            text += marker.trimmed(); // an empty item
            break;
        case 1:
            text += marker + inlineText() + QLatin1Char('\n') + indent + QStringLiteral("- ")
                + inlineText() + QLatin1Char('\n') + indent + QStringLiteral("  - ") + inlineText();
            break;
        case 2:
            text += marker + QStringLiteral("```js\n") + indent + QStringLiteral("let a = 1;\n")
                + indent + QStringLiteral("```");
            break;
        case 3:
            text += marker + QStringLiteral("## ") + inlineText();
            break;
        case 4:
            text += marker + inlineText() + QStringLiteral("\n\n") + indent + inlineText();
            break;
        default:
            text += marker + inlineText();
        }
        text += pick(4) == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n");
    }
    return text.trimmed();
}

QString RandomMarkdown::table()
{
    static const QStringList Alignments {QStringLiteral("---"), QStringLiteral(":--"),
                                         QStringLiteral(":-:"), QStringLiteral("--:")};
    const int columns = 1 + pick(4);
    QString header = QStringLiteral("|");
    QString rule = QStringLiteral("|");
    for (int column = 0; column < columns; ++column) {
        header += QLatin1Char(' ') + inlineText() + QStringLiteral(" |");
        rule += Alignments.at(pick(Alignments.size())) + QLatin1Char('|');
    }
    QString text = header + QLatin1Char('\n') + rule;
    const int rows = pick(5);
    for (int row = 0; row < rows; ++row) {
        text += QStringLiteral("\n|");
        for (int column = 0; column < columns + pick(2) - pick(2); ++column)
            text += QLatin1Char(' ') + inlineText() + QStringLiteral(" |");
    }
    return text;
}

QString RandomMarkdown::fence()
{
    static const QStringList Languages {QString(), QStringLiteral("cpp"), QStringLiteral("python"),
                                        QStringLiteral("json"), QStringLiteral("no such lang")};
    const QString marks = pick(3) == 0 ? QStringLiteral("~~~") : QStringLiteral("```");
    QString text = marks + Languages.at(pick(Languages.size())) + QLatin1Char('\n');
    const int lines = pick(6);
    for (int line = 0; line < lines; ++line)
        text += pick(4) == 0 ? QStringLiteral("\n") : QStringLiteral("    x = \"<b>\" | 1;\n");
    return text + marks;
}

QString RandomMarkdown::quote()
{
    QString text = QStringLiteral("> ") + inlineText();
    if (pick(2))
        text += QStringLiteral("\n> - ") + inlineText();
    if (pick(3) == 0)
        text += QStringLiteral("\n>\n> > ") + inlineText();
    return text;
}

QVector<int> RandomMarkdown::cuts(const QString& text)
{
    QVector<int> at;
    int length = 0;
    while (length < text.size()) {
        length += pick(10) == 0 ? 1 + pick(200) : 1 + pick(12);
        at.append(std::min<int>(length, text.size()));
    }
    return at;
}
