// ViewHandler's properties: plain values the views bind to, each setter emitting only on a
// change. Kept apart from the controller part in viewhandler.cpp, which builds the object graph.
#include "shell/viewhandler.h"

int ViewHandler::skinMode() const
{
    return skinModeValue();
}

// The theme manager keeps its theme: a run-time change only reaches the views' own skin type
// and the configuration (persistSkinMode).
void ViewHandler::setSkinMode(int value)
{
    if (skinModeValue() == value)
        return;
    setSkinModeValue(value);
    emit skinModeChanged();
}

QString ViewHandler::currentVersion() const
{
    return version;
}

void ViewHandler::setCurrentVersion(const QString& value)
{
    if (version == value)
        return;
    version = value;
    emit currentVersionChanged();
}

bool ViewHandler::allowQuestion() const
{
    return questionsAllowed;
}

void ViewHandler::setAllowQuestion(bool value)
{
    if (questionsAllowed == value)
        return;
    questionsAllowed = value;
    emit allowQuestionChanged();
}

bool ViewHandler::firstStart() const
{
    return accepted;
}

// Compared with what the file holds, not with the member: a "FirstStart" that is missing or
// not a string is rewritten even when the flag itself does not change.
void ViewHandler::setFirstStart(bool value)
{
    if (!settings.storeFirstStart(value))
        return;
    accepted = value;
    emit firstStartChanged();
}

bool ViewHandler::notEnough() const
{
    return quotaExhausted;
}

void ViewHandler::setNotEnough(bool value)
{
    if (quotaExhausted == value)
        return;
    quotaExhausted = value;
    emit notEnoughChanged();
}

bool ViewHandler::agreePolicy() const
{
    return policyAgreed;
}

void ViewHandler::setAgreePolicy(bool value)
{
    if (policyAgreed == value)
        return;
    policyAgreed = value;
    emit agreePolicyChanged();
}

QString ViewHandler::serviceUrl() const
{
    return serviceBase;
}

void ViewHandler::setServiceUrl(const QString& value)
{
    if (serviceBase == value)
        return;
    serviceBase = value;
    emit serviceUrlChanged();
}

int ViewHandler::questionsLeft() const
{
    return left;
}

bool ViewHandler::allowanceLow() const
{
    return low;
}

void ViewHandler::setAllowance(int questions, bool nearlyUsed)
{
    if (left == questions && low == nearlyUsed)
        return;
    left = questions;
    low = nearlyUsed;
    emit allowanceChanged();
}
