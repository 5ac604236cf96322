// Feeds arbitrary text to the streaming Markdown conversion as a growing answer, cut into
// events at places taken from the input itself, and the result to the view's cutting into
// pieces. Besides crashes and sanitizer findings it checks that every result is a document
// the view can cut, and that the pieces hold all of its blocks. (Streamed and one-shot results
// can still differ for a few odd inputs, so equality is left to the unit tests' samples.)
#include "chat/htmlblocks.h"
#include "chat/richtextsegments.h"
#include "chat/streamingmarkdownrenderer.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // documents need fonts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const quint8 seed = data[0];
    const QString answer =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    StreamingMarkdownRenderer renderer;
    RichTextSegments segments;
    int length = 0;
    int step = 1 + seed % 5;
    while (length < answer.size()) {
        length = std::min<int>(answer.size(), length + step);
        step = 1 + (step * 5 + seed) % 29;
        const QString html = renderer.render(answer.left(length));
        if (!HtmlBlocks::isBlockDocument(html))
            std::abort();
        segments.setHtml(html);
        // The pieces cover the blocks in order; each cut drops one line break between two.
        int next = HtmlBlocks::bodyStart(html);
        for (int row = 0; row < segments.count(); ++row) {
            const RichTextSegments::Piece piece = segments.pieceAt(row);
            if (piece.start != next || piece.end < piece.start
                || piece.end > HtmlBlocks::bodyEnd(html))
                std::abort();
            next = piece.end + 1;
        }
    }
    return 0;
}
