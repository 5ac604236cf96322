#include "core/languagemanager.h"

#include "core/languagehandler.h"

LanguageManager::LanguageManager(ViewHandler* viewHandler, ConfigEngine* config, QObject* parent)
    : QObject(parent)
    , viewHandler(viewHandler)
    , model(new LanguageModel(this))
    , handler(new LanguageHandler(config, this))
{
    connect(handler, &LanguageHandler::languageChange, this, &LanguageManager::languageChange);
    // not translated: each language is named in its own words, whatever the interface speaks.
    model->append({true, QStringLiteral("中文(简体)"), false, QLocale(QStringLiteral("zh_CN"))});
    model->append(
        {true, QStringLiteral("English(United States)"), false, QLocale(QStringLiteral("en_US"))});
    applyStoredLanguage();
}

// The handler removes its translators as it goes (a child of this object).
LanguageManager::~LanguageManager() = default;

LanguageModel* LanguageManager::langModel() const
{
    return model;
}

void LanguageManager::setLangModel(LanguageModel* value)
{
    if (model == value)
        return;
    LanguageModel* previous = model;
    model = value;
    if (previous && previous->parent() == this)
        previous->deleteLater();
    emit langModelChanged();
}

QString LanguageManager::optLanguageName() const
{
    const int row = firstCheckedRow();
    return row < 0 ? QString() : model->item(row).lang;
}

void LanguageManager::setOptLanguageIndex(int index)
{
    if (!model || index < 0 || index >= model->rowCount())
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        LanguageItem entry = model->item(row);
        entry.checked = row == index;
        model->replace(row, entry);
    }
    handler->setLanguage(model->item(index).locale.name());
    emit optLanguageNameChanged();
}

int LanguageManager::optLanguageIndex() const
{
    return qMax(0, firstCheckedRow());
}

void LanguageManager::applyStoredLanguage()
{
    QString name = handler->currentLanguage();
    if (name.isEmpty())
        name = QLocale(QLocale::system().language(), QLocale::AnyCountry).name();
    handler->setLanguage(name);
    refreshCheckMarks();
}

LanguageHandler* LanguageManager::languageHandler() const
{
    return handler;
}

void LanguageManager::refreshCheckMarks()
{
    if (model) {
        const QString current = handler->currentLanguage();
        for (int row = 0; row < model->rowCount(); ++row) {
            LanguageItem entry = model->item(row);
            entry.checked = entry.locale.name() == current;
            model->replace(row, entry);
        }
    }
    emit optLanguageNameChanged();
}

int LanguageManager::firstCheckedRow() const
{
    if (!model)
        return -1;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->item(row).checked)
            return row;
    }
    return -1;
}
