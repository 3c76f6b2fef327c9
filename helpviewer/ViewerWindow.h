// SPDX-License-Identifier: MIT
// The help viewer's window: the contents tree and the keyword index on the left, the topic on the right,
// back and forward above. The request server hands it each viewer call; it shows what the call asks and
// comes to the front. Its title is the help's title, "Справка Windows" when the help has none.
#pragma once

#include "helpdelivery/display/HelpProtocol.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpviewer/HelpBook.h"
#include "helpviewer/Macros.h"

#include <QMainWindow>
#include <QTextBrowser>
#include <functional>
#include <map>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QAction;

namespace brelmont::viewer {

inline constexpr std::string_view kDefaultTitle = kViewerWindowTitle;

// Serves the pages of the current help from "topic:<id>" and "contents:" addresses, so that back and forward
// are the browser's own history.
class TopicBrowser final : public QTextBrowser {
public:
    explicit TopicBrowser(std::function<QString(const QUrl&)> page, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::function<QString(const QUrl&)> page_;
};

class ViewerWindow final : public QMainWindow {
public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    // Carries out one viewer call. Returns false for the quit request.
    bool Handle(const helpprotocol::Request& request);
    // What the window shows, for the tests and for diagnosis (JSON).
    QByteArray StateJson() const;

    void ShowContents();
    void ShowTopic(const QString& id);
    void ShowKeywordSearch(const QString& keyword);
    // Shows the window, restored, in front and active.
    void Present();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool UseFile(const QString& file, const QString& folder, const QString& helpFolder = {});
    // A bare file name that is not in the request's folder is the program's own help, in its help folder.
    QString ResolveFile(const QString& file) const;
    const HelpBook* BookFor(const QString& file);
    // The window's parts, built in this order by the constructor.
    QAction* BuildNavigation();
    void BuildPanes();
    void ConnectPanes(QAction* contents);
    void Apply(const ViewAction& action);
    void Navigate(const QUrl& url);
    void FillContents();
    void FillIndex();
    void SelectContentsEntry(const QString& topicId);
    void OpenLink(const QUrl& url);
    QString Page(const QUrl& url) const;
    QString ContentsPage() const;

    HelpBook book_;
    QString folder_;
    QString helpFolder_;
    std::map<QString, HelpBook> others_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QLineEdit* indexEdit_ = nullptr;
    QListWidget* indexList_ = nullptr;
    TopicBrowser* browser_ = nullptr;
    // Key presses that reached the window, whatever became of them: tells a key never delivered from one lost
    // inside the window.
    int keysReceived_ = 0;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
};

} // namespace brelmont::viewer
