// SPDX-License-Identifier: MIT
// Where the program's file dialogs open, and which files they refuse. The program's current folder is its
// work folder while the help is shown, and that folder is removed when the program ends, so a dialog that
// opened there would let a saved file vanish at exit. A dialog therefore opens in the folder the user last
// chose in this run, else in the user's Pictures or Documents folder, else the home folder; and a file chosen
// inside a protected folder (the work folder) is refused with a plain sentence while the dialog stays open.
//
// The program keeps no settings, so the last folder is remembered for the session only. It and the protected
// folders live on the application object, so that the windows loaded from modules, which carry their own
// copy of this code, share them with the program.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace brelmont {

// What a dialog is for: pictures start in the Pictures folder, documents in Documents.
enum class FileKind { Picture, Document };

// Adds a folder that no chosen file may lie in (the work folder). An empty path is ignored.
void ProtectFolder(const QString& folder);
QStringList ProtectedFolders();

// The folder a dialog for `kind` opens in: the last folder chosen in this run while it exists, else the
// user's folder for the kind, then Documents, then home, the first that exists.
QString StartFolder(FileKind kind);
// Remembers the folder that holds `filePath` as the last folder used.
void RememberFolderOf(const QString& filePath);
// Forgets the last folder (tests start from a clean session).
void ForgetLastFolder();

// Empty when a file may be written at `filePath`; otherwise the sentence that says why not. Links are
// followed, so a link into a protected folder is refused too.
QString RefusalFor(const QString& filePath);

// The program's save dialog (object name "SaveFileDialog"): opens in StartFolder(kind) with `fileName`
// proposed, refuses files in protected folders with a message while staying open, and remembers the folder
// of the file chosen. Returns the chosen path, or empty when cancelled; `selectedFilter` receives the filter
// in use.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                        const QString& filters, QString* selectedFilter, FileKind kind);

// The program's open dialog (object name "OpenFileDialog"), starting and remembering as the save dialog does.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filters, FileKind kind);

} // namespace brelmont
