#include "platform/qt/filechooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/qt/windowwidget.h"

namespace kt {

QString namefilter(const std::string& description, const std::string& pattern)
{
    QString label = QString::fromStdString(description).trimmed();
    const QString patterns = QString::fromStdString(pattern);
    // Qt takes the patterns from the last parentheses and splits them at
    // spaces, so a description that shows its pattern loses that copy and
    // the list is given again in Qt's form.
    const QString shown = QStringLiteral("(") + patterns + QStringLiteral(")");
    if (label.endsWith(shown))
        label.chop(shown.size());
    QStringList globs = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& glob : globs)
        glob = glob.trimmed();
    return label.trimmed() + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QStringLiteral(")");
}

std::optional<std::string> choosefilewithqt(const FileDialogRequest& request)
{
    QFileDialog dialog(widgetof(request.owner), QString::fromStdString(request.title));
    // Qt's own dialog behaves the same on every desktop, and can be driven in tests.
    dialog.setOption(QFileDialog::DontUseNativeDialog);

    QStringList filters;
    for (const auto& [description, pattern] : request.filters)
        filters << namefilter(description, pattern);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);

    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));

    // The starting path is a folder with a pattern ("/home/u/*.dv3") or the
    // file chosen last time; the name field proposes either, as the
    // platform's dialogs do.
    const QFileInfo start(QString::fromStdString(request.initialPath));
    if (!request.initialPath.empty()) {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }

    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QFileInfo chosen(dialog.selectedFiles().front());
        // A pattern names no file: the dialog stays open for a name.
        if (!chosen.fileName().contains(QLatin1Char('*')) && !chosen.fileName().contains(QLatin1Char('?')))
            return chosen.absoluteFilePath().toStdString();
    }
}

} // namespace kt
