#include "shell/exportfiledialog.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWindow>

namespace {

constexpr int MaxNameLength = 60;

} // namespace

ExportFileDialog::ExportFileDialog(QWindow* over, QObject* parent)
    : QObject(parent)
    , over(over)
{ }

ExportFileDialog::~ExportFileDialog()
{
    delete current.data();
}

void ExportFileDialog::open(const QString& title)
{
    delete current.data();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    auto* dialog =
        new QFileDialog(nullptr, tr("Export the conversation"), folder, tr("Markdown (*.md)"));
    current = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("md"));
    dialog->selectFile(suggestedFileName(title));
    connect(dialog, &QFileDialog::fileSelected, this, &ExportFileDialog::chosen);
    connect(dialog, &QFileDialog::finished, this, &ExportFileDialog::closed);
    dialog->winId(); // the native window exists now and can stay above the chat window
    if (over && dialog->windowHandle())
        dialog->windowHandle()->setTransientParent(over);
    dialog->open();
}

QFileDialog* ExportFileDialog::dialog() const
{
    return current;
}

QString ExportFileDialog::suggestedFileName(const QString& title)
{
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]+"));
    QString name = QString(title).replace(unsafe, QStringLiteral(" ")).simplified();
    name = name.left(MaxNameLength).trimmed();
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    if (name.isEmpty())
        name = tr("Conversation");
    return name + QStringLiteral(".md");
}
