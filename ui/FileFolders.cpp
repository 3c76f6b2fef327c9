// SPDX-License-Identifier: MIT
#include "ui/FileFolders.h"

#include "ui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariant>

namespace brelmont {

namespace {

constexpr const char* kLastFolderProperty = "brelmontLastFileFolder";
constexpr const char* kProtectedProperty = "brelmontProtectedFolders";

QVariant AppValue(const char* name) {
    return qApp != nullptr ? qApp->property(name) : QVariant();
}

void SetAppValue(const char* name, const QVariant& value) {
    if (qApp != nullptr) {
        qApp->setProperty(name, value);
    }
}

// The path with every link resolved as far as the path exists; the part that does not exist yet is kept
// as written, so a file about to be created is judged by the folder it would land in.
QString ResolvedPath(const QString& path) {
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0) {
            return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        }
        rest.prepend(existing.mid(slash));
        existing.truncate(slash);
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return (canonical.isEmpty() ? existing : canonical) + rest;
}

bool IsInside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

QString ExistingFolder(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

// Qt's own dialog on every desktop: it looks the same everywhere, speaks the program's language and stays
// open when a file is refused.
class GuardedFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (acceptMode() == QFileDialog::AcceptSave && !files.isEmpty() &&
            !QFileInfo(files.first()).isDir()) {
            const QString refusal = RefusalFor(files.first());
            if (!refusal.isEmpty()) {
                ShowMessage(refusal.toStdString());
                return;
            }
        }
        QFileDialog::accept();
    }
};

QString RunDialog(GuardedFileDialog& dialog, FileKind kind, const QString& proposedName,
                  QString* selectedFilter) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(StartFolder(kind));
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().first();
    if (selectedFilter != nullptr) {
        *selectedFilter = dialog.selectedNameFilter();
    }
    RememberFolderOf(chosen);
    return chosen;
}

} // namespace

void ProtectFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return;
    }
    QStringList folders = ProtectedFolders();
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!folders.contains(clean)) {
        folders.append(clean);
        SetAppValue(kProtectedProperty, folders);
    }
}

QStringList ProtectedFolders() {
    return AppValue(kProtectedProperty).toStringList();
}

QString StartFolder(FileKind kind) {
    if (const QString last = ExistingFolder(AppValue(kLastFolderProperty).toString()); !last.isEmpty()) {
        return last;
    }
    const auto own =
        kind == FileKind::Picture ? QStandardPaths::PicturesLocation : QStandardPaths::DocumentsLocation;
    for (const auto location : {own, QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation}) {
        const QString folder = ExistingFolder(QStandardPaths::writableLocation(location));
        if (!folder.isEmpty() && RefusalFor(folder + QStringLiteral("/x")).isEmpty()) {
            return folder;
        }
    }
    return QDir::homePath();
}

void RememberFolderOf(const QString& filePath) {
    SetAppValue(kLastFolderProperty, QFileInfo(filePath).absolutePath());
}

void ForgetLastFolder() {
    SetAppValue(kLastFolderProperty, QVariant());
}

QString RefusalFor(const QString& filePath) {
    const QString path = ResolvedPath(filePath);
    for (const QString& folder : ProtectedFolders()) {
        // The folder may be named through a link, or be gone already; either spelling counts.
        if (IsInside(path, ResolvedPath(folder)) || IsInside(path, folder)) {
            return QStringLiteral("В этой папке файл сохранить нельзя: это временная папка программы, и "
                                  "при выходе она удаляется вместе со всем содержимым. Выберите другую "
                                  "папку, например «Изображения» или «Документы».");
        }
    }
    return {};
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                        const QString& filters, QString* selectedFilter, FileKind kind) {
    GuardedFileDialog dialog(parent, caption, QString(), filters);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return RunDialog(dialog, kind, fileName, selectedFilter);
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filters, FileKind kind) {
    GuardedFileDialog dialog(parent, caption, QString(), filters);
    dialog.setObjectName(QStringLiteral("OpenFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunDialog(dialog, kind, QString(), nullptr);
}

} // namespace brelmont
