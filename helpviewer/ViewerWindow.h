// SPDX-License-Identifier: MIT
// The help viewer's window: the contents tree, the keyword index and the full-text search on the left, the
// topic on the right, back and forward above. The request server hands it each viewer call; it shows what the
// call asks and comes to the front. Its title is the help's title, "Справка Windows" when the help has none.
// It carries the program's icon and opens whole on the screen's available area, whatever the scale.
#pragma once

#include "helpdelivery/display/HelpProtocol.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpviewer/HelpBook.h"
#include "helpviewer/Macros.h"
#include "helpviewer/TopicSearch.h"

#include <QMainWindow>
#include <QRgb>
#include <QTextBrowser>
#include <functional>
#include <map>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QAction;

namespace brelmont::viewer {

inline constexpr std::string_view kDefaultTitle = kViewerWindowTitle;
// The size the window asks for, frame not included, where the screen has room.
inline constexpr QSize kPreferredSize{820, 580};
// The background of a search's hits in the topic; the current hit is the selection.
inline constexpr QRgb kHitBackground = 0xffffe36e;

// Where a window's frame goes on the screen's available area: no larger than the area, the part that stood
// outside brought inside, the rest as it was.
QRect KeptInside(QRect frame, const QRect& available);
// A new window's frame: `wanted` (frame included) cut to the available area, centred on it.
QRect CentredFrame(QSize wanted, const QRect& available);

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
    // Ctrl+F: the search tab, its words selected for typing over.
    void ShowTextSearch();
    // Shows the window, restored, in front and active.
    void Present();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool UseFile(const QString& file, const QString& folder, const QString& helpFolder = {});
    // A bare file name that is not in the request's folder is the program's own help, in its help folder.
    QString ResolveFile(const QString& file) const;
    const HelpBook* BookFor(const QString& file);
    // The window's parts, built in this order by the constructor.
    QAction* BuildNavigation();
    void BuildPanes();
    QWidget* BuildSearch();
    void ConnectPanes(QAction* contents);
    void ConnectSearch();
    void Apply(const ViewAction& action);
    void Navigate(const QUrl& url);
    // Shows a topic, or a section of one, by an id of either.
    bool NavigateTo(const QString& id);
    // A click: opens what the entry names unless it is already shown.
    void OpenClicked(const QString& id);
    void RunSearch(const QString& text);
    void OpenSearchHit(QListWidgetItem* item);
    // Marks every hit of the search in the shown topic and selects the first.
    void MarkHits();
    // F3 and Shift+F3: selects the next or previous hit in the shown topic, round its end.
    void GoToHit(int step);
    // The preferred size, frame included, cut to the available area and centred: at the first showing with a
    // frame guessed, again once the window manager's frame is known.
    void PlaceOnScreen();
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
    QWidget* searchPage_ = nullptr;
    QLineEdit* searchEdit_ = nullptr;
    QListWidget* searchList_ = nullptr;
    QLabel* searchStatus_ = nullptr;
    SearchQuery query_;
    // The text of each topic as the reader sees it, made on the first search in the help.
    QStringList topicTexts_;
    bool placed_ = false;
    bool framed_ = false;
    // Key presses that reached the window, whatever became of them: tells a key never delivered from one lost
    // inside the window.
    int keysReceived_ = 0;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
};

} // namespace brelmont::viewer
