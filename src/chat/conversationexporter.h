#pragma once

#include "chat/chathistorystore.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

// A stored conversation as a Markdown document: its title as the heading, then each question
// and answer in order, the answers back in Markdown and their reasoning as a quote.
class ConversationExporter
{
    Q_DECLARE_TR_FUNCTIONS(ConversationExporter)

public:
    static QString markdown(const QString& title,
                            const QVector<ChatHistoryStore::Message>& messages);
    // Writes the document (UTF-8) atomically; false, with no file left behind, when it cannot.
    // filePath may also be a "file:" URL, as a save dialog of the views gives it.
    static bool write(const QString& filePath, const QString& markdown);
};
