#include "DialogProvider.h"

#include "QtText.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

namespace brimble {

void QtDialogProvider::ShowMessage(QWidget* parent, const MessageRequest& request) {
    const auto box = MakeMessageBox(parent, request);
    box->exec();
}

bool QtDialogProvider::AskYesNo(QWidget* parent, const MessageRequest& request) {
    const auto box = MakeMessageBox(parent, request);
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box->exec() == QMessageBox::Yes;
}

std::unique_ptr<QMessageBox> QtDialogProvider::MakeMessageBox(QWidget* parent, const MessageRequest& request) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Warning:
        icon = QMessageBox::Warning;
        break;
    case MessageIcon::Error:
        icon = QMessageBox::Critical;
        break;
    }
    const QString caption = request.caption ? FromUtf8(*request.caption) : QApplication::applicationName();
    auto box = std::make_unique<QMessageBox>(icon, caption, FromUtf8(request.text), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

QString QtDialogProvider::FilterText(const FileFilter& filter) {
    // Always with the patterns in parentheses: the dialog shows the label alone (it hides
    // the details) and matches the patterns.
    QStringList patterns;
    for (const std::string& pattern : filter.patterns)
        patterns.append(FromUtf8(pattern));
    return FromUtf8(filter.label) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
}

void QtDialogProvider::Configure(QFileDialog& dialog, const FileDialogRequest& request) {
#ifndef _WIN32
    // The toolkit's own dialog, so that every filter matches names regardless of case; the
    // Windows dialog does that by itself.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
#endif
    if (!request.title.empty())
        dialog.setWindowTitle(FromUtf8(request.title));
    switch (request.mode) {
    case FileDialogRequest::Mode::OpenOne:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        break;
    case FileDialogRequest::Mode::OpenMany:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileDialogRequest::Mode::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        break;
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    QStringList filters;
    for (const FileFilter& filter : request.filters)
        filters.append(FilterText(filter));
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 0 && request.filterIndex < filters.size())
        dialog.selectNameFilter(filters[request.filterIndex]);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!request.initialDirectory.empty())
        dialog.setDirectory(FromPath(request.initialDirectory));
    dialog.setDefaultSuffix(FromUtf8(request.defaultSuffix));
}

FileDialogAnswer QtDialogProvider::RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    Configure(dialog, request);
    FileDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    for (const QString& file : dialog.selectedFiles())
        answer.files.push_back(ToPath(file));
    // The dialog names the chosen filter by its label while it hides the details.
    const QString chosen = dialog.selectedNameFilter();
    for (std::size_t i = 0; i < request.filters.size(); ++i) {
        if (chosen == FromUtf8(request.filters[i].label) || chosen == FilterText(request.filters[i])) {
            answer.filterIndex = static_cast<int>(i);
            break;
        }
    }
    return answer;
}

} // namespace brimble
