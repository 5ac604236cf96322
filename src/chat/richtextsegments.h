#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

// Cuts the HTML of an answer (MarkdownRenderer's) into the pieces a view shows one item each:
// every top-level code block ("code": its plain code and language) and table ("table": a
// document of the table alone), and the text between them in pieces of about PieceSize
// characters ("text"), cut between top-level blocks or between the items of a long list (the
// piece after such a cut continues the list: listStart items come before its first). Each
// text or table piece is a document of its own with the answer's head.
//
// The cut depends only on the text before it: while an answer grows, every piece but the
// last stays as it is, and a streamed answer ends up cut as the same answer given whole.
// Texts that are not such HTML (plain messages) are one text piece.
class RichTextSegments : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QString html READ html WRITE setHtml NOTIFY htmlChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles { KindRole = Qt::UserRole + 1, SourceRole, LanguageRole, ListStartRole };
    static constexpr int PieceSize = 3000;

    struct Piece
    {
        int start = 0; // the piece holds html[start, end)
        int end = 0;
        QString kind; // "text", "code" or "table"
        QString source; // a document for text and tables, the code for code
        QString language;
        int listStart = 0;
        // A text piece cut inside a list: the list's opening tag, and its items up to the cut.
        QString openList;
        int itemsBefore = 0;
        // A code block or table is read again from its last line (html[resumeAt, end)) when
        // it grows, not from its start; resumeCode: the length of the code before that line.
        int resumeAt = 0;
        int resumeCode = 0;
        bool operator==(const Piece& other) const;
    };

    explicit RichTextSegments(QObject* parent = nullptr);

    QString html() const;
    void setHtml(const QString& html);
    int count() const;
    Piece pieceAt(int row) const;
    // How many pieces from the first a change to newHtml would keep as they are; sameUpTo
    // gets the length of the text that stays the same (0 when none of it counts).
    int keptPieces(const QString& newHtml, int* sameUpTo = nullptr) const;

    // The empty blocks that one document of the whole answer has between two neighbouring
    // pieces and that neither of them shows: Qt's blocks around a table. above or below is
    // null at the start or the end of the answer.
    static int emptyBlocksBetween(const Piece* above, const Piece* below);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void htmlChanged();
    void countChanged();

private:
    // Where the cutting stands: the start of the current text piece, and the list it continues.
    struct Cut
    {
        int start = 0;
        QString openList;
        int listStart = 0;
    };

    QVector<Piece> cut(const QString& newHtml, int kept, int common) const;
    void publish(QVector<Piece> next, int kept);

    QString text;
    QVector<Piece> pieces;
};
