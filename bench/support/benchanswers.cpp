#include "benchanswers.h"

namespace {

QString proseSection()
{
    return QStringLiteral(
        "## Choosing switches\n\n"
        "Linear switches feel **smooth** from top to bottom, while tactile ones give a *bump*. "
        "Clicky switches add a sound; see [the guide](https://orvik.example/switches). "
        "Most people settle within a week, and the choice matters less than the keycaps.\n\n"
        "- Linear: quiet and fast\n- Tactile: clear feedback\n  - light bump\n  - heavy bump\n"
        "- Clicky: loud\n\n"
        "1. Try a tester\n2. Type for a week\n3. Decide\n\n"
        "```cpp\nint keys = 104;\nfor (int i = 0; i < keys; ++i)\n    press(i);\n```\n\n"
        "> A good keyboard disappears under your fingers.\n\n"
        "键盘的手感因人而异，建议先试用再决定。\n\n");
}

QString tableSection()
{
    return QStringLiteral(
        "### Switch table\n\n"
        "The common switches compare like this; the force is measured at actuation.\n\n"
        "| Switch | Force | Travel | Sound |\n|---|---|---|---|\n| Red | 45 g | 4 mm | quiet |\n"
        "| Brown | 55 g | 4 mm | soft |\n| Blue | 60 g | 4 mm | loud |\n"
        "| Silver | 45 g | 3.4 mm | quiet |\n\n");
}

// One numbered list from top to bottom, as step-by-step answers come: one block of Markdown.
QString listAnswer(int length)
{
    QString text;
    for (int step = 1; text.size() < length; ++step) {
        const QString marker = QStringLiteral("%1. ").arg(step);
        const QString indent(marker.size(), QLatin1Char(' '));
        text += marker
            + QStringLiteral("**Step %1**: press the switch down slowly and listen; a tactile "
                             "bump should come before the click.\n")
                  .arg(step)
            + indent + QStringLiteral("- check the travel\n") + indent
            + QStringLiteral("- check the sound\n");
    }
    text.truncate(length);
    return text;
}

// One table from top to bottom, as answers that compare many things come.
QString tableAnswer(int length)
{
    QString text =
        QStringLiteral("| # | Switch | Force | Travel | Notes |\n|--:|:---|---:|:---:|---|\n");
    for (int row = 1; text.size() < length; ++row) {
        text += QStringLiteral("| %1 | Model %1 | %2 g | %3 mm | a **tactile** bump, then a "
                               "quiet return |\n")
                    .arg(row)
                    .arg(40 + row % 30)
                    .arg(3 + row % 2);
    }
    text.truncate(length);
    return text;
}

// One fenced code block from top to bottom, as answers that write a whole program come.
QString codeAnswer(int length)
{
    QString text = QStringLiteral("```cpp\n");
    for (int step = 1; text.size() < length; ++step) {
        text += QStringLiteral("// Step %1: press the key and wait for the report.\n"
                               "int press%1(Keyboard& board, int key) {\n"
                               "    const auto report = board.press(key, \"step %1\");\n"
                               "    return report.ok() ? %1 : -1; /* %1 */\n}\n\n")
                    .arg(step);
    }
    text.truncate(length);
    return text;
}

} // namespace

QString BenchAnswers::answer(const QString& kind, int length)
{
    if (kind == QLatin1String("list"))
        return listAnswer(length);
    if (kind == QLatin1String("table"))
        return tableAnswer(length);
    if (kind == QLatin1String("code"))
        return codeAnswer(length);
    const QString section =
        kind == QLatin1String("tables") ? proseSection() + tableSection() : proseSection();
    QString text;
    while (text.size() < length)
        text += section;
    text.truncate(length);
    return text;
}
