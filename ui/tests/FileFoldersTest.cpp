// SPDX-License-Identifier: MIT
// The file dialogs' folders: they open in the user's own folders or the last one chosen, never in the
// program's current folder, and they refuse a file in the work folder, however the path names it, while
// letting through folders that merely look alike.
#include "ui/FileFolders.h"

#include "ModalAnswerer.h"
#include "base/testing/RowName.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;
using testing::ModalAnswerer;

// A work folder as the program has one: protected, and the current folder while the help is shown.
class FileFolders : public ::testing::Test {
protected:
    FileFolders() {
        work = root.filePath(QStringLiteral("work"));
        QDir().mkpath(work);
        ProtectFolder(work);
        ForgetLastFolder();
        previous = QDir::currentPath();
        QDir::setCurrent(work);
    }
    ~FileFolders() override {
        QDir::setCurrent(previous);
        ForgetLastFolder();
    }

    QTemporaryDir root;
    QString work;
    QString previous;
};

TEST_F(FileFolders, StartInTheUsersFolderThenTheLastOneChosenButNeverTheCurrentOne) {
    const QString start = StartFolder(FileKind::Picture);
    EXPECT_NE(QDir(start).canonicalPath(), QDir(work).canonicalPath());
    EXPECT_TRUE(QFileInfo(start).isDir());
    QStringList own;
    for (const auto location : {QStandardPaths::PicturesLocation, QStandardPaths::DocumentsLocation,
                                QStandardPaths::HomeLocation}) {
        own << QStandardPaths::writableLocation(location);
    }
    EXPECT_TRUE(own.contains(start)) << start.toStdString();

    const QString chosen = root.filePath(QStringLiteral("charts"));
    QDir().mkpath(chosen);
    RememberFolderOf(chosen + QStringLiteral("/a.png"));
    EXPECT_EQ(StartFolder(FileKind::Picture), chosen);
    EXPECT_EQ(StartFolder(FileKind::Document), chosen) << "one last folder for every dialog";

    QDir(chosen).removeRecursively();
    EXPECT_EQ(StartFolder(FileKind::Picture), start) << "a folder gone since is not offered";
}

struct PathRow {
    const char* name;
    const char* path; // relative to the test's root folder
    bool refused;
};

class FileRefusal : public FileFolders, public ::testing::WithParamInterface<PathRow> {};

TEST_P(FileRefusal, CoversTheWorkFolderHoweverItIsNamed) {
    QDir().mkpath(root.filePath(QStringLiteral("work/sub")));
    QDir().mkpath(root.filePath(QStringLiteral("work2")));
    QFile::link(work, root.filePath(QStringLiteral("link-to-work")));
    const QString refusal = RefusalFor(root.filePath(QString::fromUtf8(GetParam().path)));
    EXPECT_EQ(!refusal.isEmpty(), GetParam().refused) << refusal.toStdString();
    if (GetParam().refused) {
        EXPECT_TRUE(refusal.contains(QStringLiteral("удаляется"))) << refusal.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, FileRefusal,
                         ::testing::Values(PathRow{"InIt", "work/график-риска.png", true},
                                           PathRow{"InASubfolder", "work/sub/a.png", true},
                                           PathRow{"InASubfolderNotYetMade", "work/new/a.png", true},
                                           PathRow{"ThroughALink", "link-to-work/a.png", true},
                                           PathRow{"ThroughDotDot", "work2/../work/a.png", true},
                                           PathRow{"LeavingIt", "work/../a.png", false},
                                           PathRow{"ASiblingWithTheSameStart", "work2/a.png", false},
                                           PathRow{"Beside", "a.png", false}),
                         testing::RowName());

TEST_F(FileFolders, TheSaveDialogRefusesTheWorkFolderStaysOpenAndRemembersTheFolderChosen) {
    const QString outside = root.filePath(QStringLiteral("мои/график.png"));
    QDir().mkpath(root.filePath(QStringLiteral("мои")));
    const QString start = StartFolder(FileKind::Picture);
    QStringList opened;
    int answers = 0;
    ModalAnswerer answerer([&](QWidget& modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(&modal)) {
            opened << dialog->directory().absolutePath();
            dialog->selectFile(answers++ == 0 ? work + QStringLiteral("/график.png") : outside);
            // Accepted from the event loop: the refusal's message opens a loop of its own, which the
            // answerer's timer must be free to reach.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else {
            ModalAnswerer::PressEnter(modal);
        }
    });
    QString filter;
    const QString chosen = AskSaveFileName(nullptr, QStringLiteral("Сохранить"), QStringLiteral("график.png"),
                                           QStringLiteral("Рисунок PNG (*.png)"), &filter, FileKind::Picture);
    EXPECT_EQ(chosen, outside);
    EXPECT_EQ(filter, QStringLiteral("Рисунок PNG (*.png)"));
    ASSERT_EQ(answerer.Seen().size(), 3U) << "dialog, refusal, the same dialog again";
    EXPECT_EQ(answerer.Seen()[0].objectName, "SaveFileDialog");
    EXPECT_EQ(answerer.Seen()[1].objectName, "MessageDialog");
    EXPECT_EQ(QString::fromStdString(answerer.Seen()[1].text), RefusalFor(work + QStringLiteral("/x")));
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_EQ(opened.first(), start);
    EXPECT_EQ(StartFolder(FileKind::Picture), QFileInfo(outside).absolutePath());
}

TEST_F(FileFolders, CancellingChoosesNothingAndRemembersNothing) {
    const QString before = StartFolder(FileKind::Document);
    ModalAnswerer answerer(ModalAnswerer::PressEscape);
    EXPECT_TRUE(AskOpenFileName(nullptr, QStringLiteral("Открыть"), QString(), FileKind::Document).isEmpty());
    ASSERT_EQ(answerer.Seen().size(), 1U);
    EXPECT_EQ(answerer.Seen()[0].objectName, "OpenFileDialog");
    EXPECT_EQ(StartFolder(FileKind::Document), before);
}

} // namespace
} // namespace brelmont
