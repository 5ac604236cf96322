#include "chat/codehighlighting.h"

#include <KSyntaxHighlighting/Definition>
#include <KSyntaxHighlighting/Repository>
#include <KSyntaxHighlighting/SyntaxHighlighter>
#include <KSyntaxHighlighting/Theme>

#include <QHash>
#include <QTextDocument>

namespace {

using KSyntaxHighlighting::Definition;
using KSyntaxHighlighting::Repository;

// Loading the definitions' index costs some milliseconds: once per process, on first use.
Repository& repository()
{
    static Repository instance;
    return instance;
}

// Names that answers use for languages whose definition is named otherwise.
QString alias(const QString& language)
{
    static const QHash<QString, QString> aliases {
        {QStringLiteral("shell"), QStringLiteral("bash")},
        {QStringLiteral("console"), QStringLiteral("bash")},
        {QStringLiteral("zsh"), QStringLiteral("zsh")},
        {QStringLiteral("golang"), QStringLiteral("go")},
        {QStringLiteral("csharp"), QStringLiteral("c#")},
        {QStringLiteral("objc"), QStringLiteral("objective-c")},
        {QStringLiteral("objectivec"), QStringLiteral("objective-c")},
        {QStringLiteral("vue"), QStringLiteral("html")},
        {QStringLiteral("jsx"), QStringLiteral("javascript react (jsx)")},
        {QStringLiteral("tsx"), QStringLiteral("typescript react (tsx)")},
        {QStringLiteral("dockerfile"), QStringLiteral("dockerfile")},
        {QStringLiteral("ps"), QStringLiteral("powershell")},
        {QStringLiteral("ps1"), QStringLiteral("powershell")},
        {QStringLiteral("bat"), QStringLiteral("batch")},
        {QStringLiteral("cmd"), QStringLiteral("batch")},
        {QStringLiteral("plaintext"), QString()},
        {QStringLiteral("text"), QString()},
        {QStringLiteral("txt"), QString()},
    };
    const QString name = language.toLower();
    return aliases.value(name, name);
}

Definition definitionFor(const QString& language)
{
    static QHash<QString, Definition> byLowerName = [] {
        QHash<QString, Definition> names;
        for (const Definition& definition : repository().definitions())
            names.insert(definition.name().toLower(), definition);
        return names;
    }();
    const QString name = alias(language);
    if (name.isEmpty())
        return Definition();
    const Definition named = byLowerName.value(name);
    if (named.isValid())
        return named;
    return repository().definitionForFileName(QStringLiteral("code.") + name);
}

} // namespace

void CodeHighlighting::attach(QTextDocument* document, const QString& language, bool dark)
{
    const Definition definition = definitionFor(language);
    if (!definition.isValid())
        return;
    auto* highlighter = new KSyntaxHighlighting::SyntaxHighlighter(document);
    highlighter->setTheme(
        repository().theme(dark ? QStringLiteral("GitHub Dark") : QStringLiteral("GitHub Light")));
    highlighter->setDefinition(definition);
}

bool CodeHighlighting::knows(const QString& language)
{
    return definitionFor(language).isValid();
}
