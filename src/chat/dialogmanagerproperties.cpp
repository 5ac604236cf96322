#include "chat/dialogmanager.h"

#include "service/ovseverhandler.h"

// The properties of the conversation manager and its small accessors; the behaviour is in
// dialogmanager.cpp.

DialogModel* DialogManager::dialogModel() const
{
    return messages;
}

DialogInfoModel* DialogManager::dialogInfoModel() const
{
    return conversations;
}

bool DialogManager::responseGenerated() const
{
    return generated;
}

void DialogManager::setResponseGenerated(bool value)
{
    if (value)
        setAnswering(false);
    if (generated == value)
        return;
    generated = value;
    emit responseGeneratedChanged();
}

int DialogManager::currentIndex() const
{
    return index;
}

void DialogManager::setCurrentIndex(int value)
{
    if (index == value)
        return;
    index = value;
    emit currentIndexChanged();
}

bool DialogManager::reasonModeActive() const
{
    return reasonMode;
}

void DialogManager::setReasonModeActive(bool value)
{
    if (reasonMode == value)
        return;
    reasonMode = value;
    emit reasonModeActiveChanged();
}

bool DialogManager::searchModeActive() const
{
    return searchMode;
}

void DialogManager::setSearchModeActive(bool value)
{
    if (searchMode == value)
        return;
    searchMode = value;
    emit searchModeActiveChanged();
}

bool DialogManager::answering() const
{
    return answerRunning;
}

void DialogManager::setAnswering(bool value)
{
    if (answerRunning == value)
        return;
    answerRunning = value;
    emit answeringChanged();
}

ConversationFilterModel* DialogManager::historyModel() const
{
    return historyList;
}

bool DialogManager::searching() const
{
    return search.isSearching();
}

int DialogManager::modeIndex() const
{
    return OvSeverHandler::modeIndex(reasonMode, searchMode);
}

void DialogManager::setDeviceSn(const QString& sn)
{
    if (deviceSn != sn)
        deviceSn = sn;
}

DeepSeekHandler* DialogManager::providerClient() const
{
    return provider;
}

void DialogManager::flushHistory()
{
    saver.flush();
}
