#pragma once

#include "core/languagemodel.h"

#include <QObject>
#include <QPointer>
#include <QString>

class ConfigEngine;
class LanguageHandler;
class ViewHandler;

// What the views see of the language ("lang_HL"): the list of languages with the current one
// checked, and the choice of another one. The language itself is decided and loaded by the
// LanguageHandler. Each change is announced as languageChange(); the views that show
// translated texts (the chat window and its QML engine) retranslate on it.
class LanguageManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(LanguageModel* langModel READ langModel WRITE setLangModel NOTIFY langModelChanged)
    Q_PROPERTY(QString optLanguageName READ optLanguageName NOTIFY optLanguageNameChanged)

public:
    LanguageManager(ViewHandler* viewHandler, ConfigEngine* config, QObject* parent = nullptr);
    ~LanguageManager() override;

    LanguageModel* langModel() const;
    // Takes the model over; the replaced one goes if it was ours.
    void setLangModel(LanguageModel* model);
    // The name of the first checked row, "" when none is checked.
    QString optLanguageName() const;

    // Switches to the language of row index; an index outside the list changes nothing.
    Q_INVOKABLE void setOptLanguageIndex(int index);
    // The first checked row, 0 when none is checked.
    Q_INVOKABLE int optLanguageIndex() const;

    // Applies the stored language (the system's when none is stored) and checks its row.
    void applyStoredLanguage();

    LanguageHandler* languageHandler() const;

signals:
    void langModelChanged();
    void languageChange();
    void optLanguageNameChanged();

private:
    void refreshCheckMarks();
    int firstCheckedRow() const;

    [[maybe_unused]] ViewHandler* viewHandler;
    QPointer<LanguageModel> model;
    LanguageHandler* handler;
};
