#pragma once

#include "chat/chathistorystore.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// A conversation's text as the search reads it: what the user sees of each message, never its
// markup, case-folded once so that a search compares bytes.
class SearchableText
{
public:
    // The text of rich-text HTML: tags, comments and the head dropped, entities decoded, and
    // a line break wherever a block ends. Fast and approximate (no layout); only for search.
    static QString plainText(const QString& html);
    // Case-folded UTF-8: a case-insensitive "contains" becomes a byte search.
    static QByteArray folded(const QString& text);
    // Questions as typed, answers and reasoning as their plain text; every run of spaces and
    // line breaks is one space, so a search for two words finds them across a line break.
    static QByteArray ofMessages(const QVector<ChatHistoryStore::Message>& messages);
};
