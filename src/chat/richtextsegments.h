#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

// Cuts the HTML of an answer (from MarkdownRenderer) into pieces of whole top-level blocks,
// each a document of its own with the answer's head. A view that shows every piece in an edit
// of its own lays out and paints only the piece that changed, so a long answer that streams
// in costs the same for every event instead of more and more.
//
// A piece ends after the first unit that makes it PieceSize characters long, never next to a
// table (a table's trailing block belongs to it, and a piece never starts with one, so the
// margins between pieces collapse as they do between blocks). The cut depends only on the
// text before it: while an answer grows, every piece but the last stays as it is, and a
// streamed answer ends up cut as the same answer given whole. Texts that are not such HTML
// (plain messages) are one piece.
class RichTextSegments : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QString html READ html WRITE setHtml NOTIFY htmlChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles { HtmlRole = Qt::UserRole + 1 };
    static constexpr int PieceSize = 3000;

    explicit RichTextSegments(QObject* parent = nullptr);

    QString html() const;
    void setHtml(const QString& html);
    int count() const;
    QString pieceAt(int row) const;
    // How many pieces from the first were left as they were by the last change of the text.
    int unchangedCount() const;
    // How many pieces from the first a change to newHtml would keep as they are.
    int keptPieces(const QString& newHtml) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void htmlChanged();
    void countChanged();

private:
    struct Piece
    {
        int start = 0; // the piece holds the blocks in text[start, end)
        int end = 0;
        QString html;
    };

    QVector<Piece> cut(const QString& newHtml, int from) const;
    void publish(QVector<Piece> next, int kept);

    QString text;
    QVector<Piece> pieces;
    int unchanged = 0;
};
