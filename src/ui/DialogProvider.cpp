#include "DialogProvider.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

namespace brimble {

QStringList DialogProvider::AskFiles(QWidget* parent, FileDialogRequest request) {
    if (request.filters.isEmpty())
        request.filterIndex = 0;
    else
        request.filterIndex = std::clamp(m_filterIndex, 0, static_cast<int>(request.filters.size()) - 1);
    FileDialogAnswer answer = RunFileDialog(parent, request);
    if (answer.files.isEmpty())
        return {};
    m_filterIndex = answer.filterIndex;
    return answer.files;
}

QString DialogProvider::AskFile(QWidget* parent, FileDialogRequest request) {
    const QStringList files = AskFiles(parent, std::move(request));
    return files.isEmpty() ? QString() : files.front();
}

void QtDialogProvider::ShowMessage(QWidget* parent, const MessageRequest& request) {
    const auto box = MakeMessageBox(parent, request);
    box->exec();
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
    const QString caption = request.caption.value_or(QApplication::applicationName());
    auto box = std::make_unique<QMessageBox>(icon, caption, request.text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

QString QtDialogProvider::FilterText(const FileFilter& filter) {
    // Always with the patterns in parentheses: the dialog shows the label alone (it hides
    // the details) and matches the patterns.
    return filter.label + QStringLiteral(" (") + filter.patterns + QStringLiteral(")");
}

void QtDialogProvider::Configure(QFileDialog& dialog, const FileDialogRequest& request) {
#ifndef _WIN32
    // The toolkit's own dialog, so that every filter matches names regardless of case; the
    // Windows dialog does that by itself.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
#endif
    if (!request.title.isEmpty())
        dialog.setWindowTitle(request.title);
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
    if (!request.initialDirectory.isEmpty())
        dialog.setDirectory(request.initialDirectory);
    dialog.setDefaultSuffix(request.defaultSuffix);
}

FileDialogAnswer QtDialogProvider::RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    Configure(dialog, request);
    FileDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted)
        return answer;
    answer.files = dialog.selectedFiles();
    // The dialog names the chosen filter by its label while it hides the details.
    const QString chosen = dialog.selectedNameFilter();
    for (int i = 0; i < request.filters.size(); ++i) {
        if (chosen == request.filters[i].label || chosen == FilterText(request.filters[i])) {
            answer.filterIndex = i;
            break;
        }
    }
    return answer;
}

} // namespace brimble
