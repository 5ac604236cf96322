#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Most stream events only add a few words to the line the answer ends with. When those words
// hold nothing Markdown reads (no markers, emphasis, links, entities or line breaks) and the
// line is already past its block marker, the conversion changes only by the words themselves,
// shown at the end of the last block: the unfinished block need not be converted again.
class MarkdownTextAppend
{
public:
    // The text that the HTML of markdown.left(from) gains at the end of its last block when
    // the text grows to markdown; nothing when the addition may change more than that.
    // shownText is that HTML up to the closing tags of its last block.
    static std::optional<QString> addedText(QStringView markdown, int from, QStringView shownText);

private:
    static bool isFenceOrCode(QStringView text);
    static QStringView lastWord(QStringView line);
    static bool hasNumberWithDot(QStringView text);
    static bool isPlain(QChar c);
};
