#pragma once

#include <QString>

class QTextDocument;

// Turns the Markdown of an answer into the HTML that the chat views show as rich text.
//
// An answer is outside input: a model can be talked into writing an image or a link whose
// address carries the user's data away. So the HTML never makes the app fetch anything:
// images that are not the app's own resources become their alt text, raw HTML in the answer
// shows as text (but for a few formatting tags, MarkdownMends), and links keep only http,
// https and mailto targets.
class MarkdownRenderer
{
public:
    // The HTML document without its body tags; an empty text stays empty.
    static QString toHtml(const QString& markdown);
    // The whole exported document, body tags included; the streaming renderer cuts it up.
    static QString documentHtml(const QString& markdown);

private:
    static void neutralizeImages(QTextDocument& document);
    static void neutralizeLinks(QTextDocument& document);
    static bool isOwnResource(const QString& source);
    static bool isAllowedLink(const QString& href);
};
