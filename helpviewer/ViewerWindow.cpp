// SPDX-License-Identifier: MIT
#include "helpviewer/ViewerWindow.h"

#include "helpdelivery/display/HelpSystem.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace brelmont::viewer {

namespace {

constexpr auto kTopicScheme = "topic";
constexpr auto kContentsScheme = "contents";
// Until the window manager has framed the window, a title bar and thin borders are allowed for.
constexpr QSize kFrameGuess{16, 48};

const char* const kPageStyle = R"(
body { font-family: "DejaVu Sans", "Liberation Sans", sans-serif; font-size: 11pt; color: #1d1d1d; }
h1, h2 { color: #1c4e80; margin-bottom: 8px; }
h3 { color: #2d6a9f; margin-top: 14px; }
p { margin-top: 4px; margin-bottom: 6px; }
table { border-collapse: collapse; margin: 6px 0; }
th, td { border: 1px solid #9aa7b4; padding: 3px 8px; }
th { background-color: #e3ecf5; }
.formula { font-family: "DejaVu Serif", "Liberation Serif", serif; font-style: italic; margin-left: 24px; }
a { color: #1a5fb4; }
)";

QString Escape(const QString& text) {
    return text.toHtmlEscaped();
}

QUrl TopicUrl(const QString& id, const QString& section = {}) {
    QUrl url;
    url.setScheme(QLatin1String(kTopicScheme));
    url.setPath(id);
    if (!section.isEmpty()) {
        url.setFragment(section);
    }
    return url;
}

// A keyword that names a help file (the program's F1 sends the help file's own name or path as its keyword)
// is nothing a user would look up in the index: such a request opens the contents instead.
bool NamesAHelpFile(const QString& keyword) {
    return keyword.endsWith(QLatin1String(".hlp"), Qt::CaseInsensitive) || keyword.contains(u'/') ||
           keyword.contains(u'\\');
}

QUrl ContentsUrl() {
    QUrl url;
    url.setScheme(QLatin1String(kContentsScheme));
    url.setPath(QStringLiteral("all"));
    return url;
}

} // namespace

QRect KeptInside(QRect frame, const QRect& available) {
    frame.setSize(frame.size().boundedTo(available.size()));
    if (frame.right() > available.right()) {
        frame.moveRight(available.right());
    }
    if (frame.bottom() > available.bottom()) {
        frame.moveBottom(available.bottom());
    }
    if (frame.left() < available.left()) {
        frame.moveLeft(available.left());
    }
    if (frame.top() < available.top()) {
        frame.moveTop(available.top());
    }
    return frame;
}

QRect CentredFrame(QSize wanted, const QRect& available) {
    QRect frame(QPoint(), wanted.boundedTo(available.size()));
    frame.moveCenter(available.center());
    return KeptInside(frame, available);
}

TopicBrowser::TopicBrowser(std::function<QString(const QUrl&)> page, QWidget* parent)
    : QTextBrowser(parent), page_(std::move(page)) {}

QVariant TopicBrowser::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::HtmlResource &&
        (name.scheme() == QLatin1String(kTopicScheme) || name.scheme() == QLatin1String(kContentsScheme))) {
        return page_(name);
    }
    return QTextBrowser::loadResource(type, name);
}

ViewerWindow::ViewerWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(kDefaultTitle));
    setWindowIcon(QIcon(QStringLiteral(":/viewer/brelmont.png")));
    resize(kPreferredSize);

    QAction* contents = BuildNavigation();
    BuildPanes();
    ConnectPanes(contents);
    ConnectSearch();
    // The platform hands keys to the window first, then to its focus widget. The window itself exists only
    // once shown, so the filter watches the application.
    qApp->installEventFilter(this);
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == static_cast<QObject*>(windowHandle())) {
        ++keysReceived_;
    }
    // Down from the search words goes on to what they found, as in a combo box.
    if (event->type() == QEvent::KeyPress && watched == searchEdit_ &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && searchList_->count() > 0) {
        searchList_->setFocus();
        if (searchList_->currentRow() < 0) {
            searchList_->setCurrentRow(0);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool ViewerWindow::event(QEvent* event) {
    const auto type = event->type();
    const bool mayBeFramed = type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show ||
                             type == QEvent::WindowActivate || type == QEvent::Paint;
    if (mayBeFramed && placed_ && !framed_ && isVisible() && frameGeometry() != geometry()) {
        framed_ = true;
        PlaceOnScreen();
    }
    return QMainWindow::event(event);
}

QAction* ViewerWindow::BuildNavigation() {
    auto* toolbar = addToolBar(QStringLiteral("Переходы"));
    toolbar->setObjectName(QStringLiteral("navigation"));
    toolbar->setMovable(false);
    toolbar->setFocusPolicy(Qt::NoFocus);
    auto* contents = toolbar->addAction(QStringLiteral("Содержание"));
    back_ = toolbar->addAction(QStringLiteral("Назад"));
    forward_ = toolbar->addAction(QStringLiteral("Вперёд"));
    back_->setShortcut(QKeySequence::Back);
    forward_->setShortcut(QKeySequence::Forward);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    auto* find = toolbar->addAction(QStringLiteral("Найти"));
    find->setShortcut(QKeySequence::Find);
    find->setToolTip(QStringLiteral("Поиск слов во всех разделах (Ctrl+F)"));
    connect(find, &QAction::triggered, this, &ViewerWindow::ShowTextSearch);
    auto* next = new QAction(QStringLiteral("Следующее совпадение"), this);
    next->setShortcut(QKeySequence::FindNext);
    connect(next, &QAction::triggered, this, [this] { GoToHit(1); });
    auto* previous = new QAction(QStringLiteral("Предыдущее совпадение"), this);
    previous->setShortcut(QKeySequence::FindPrevious);
    connect(previous, &QAction::triggered, this, [this] { GoToHit(-1); });
    addActions({next, previous});
    return contents;
}

void ViewerWindow::BuildPanes() {
    auto* splitter = new QSplitter(this);
    tabs_ = new QTabWidget(splitter);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tree_ = new QTreeWidget(tabs_);
    tree_->setObjectName(QStringLiteral("contents"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setAccessibleName(QStringLiteral("Содержание"));
    tabs_->addTab(tree_, QStringLiteral("Содержание"));

    auto* index = new QWidget(tabs_);
    auto* indexLayout = new QVBoxLayout(index);
    indexEdit_ = new QLineEdit(index);
    indexEdit_->setObjectName(QStringLiteral("keyword"));
    indexEdit_->setPlaceholderText(QStringLiteral("Ключевое слово"));
    indexEdit_->setAccessibleName(QStringLiteral("Ключевое слово"));
    indexList_ = new QListWidget(index);
    indexList_->setObjectName(QStringLiteral("keywords"));
    indexList_->setAccessibleName(QStringLiteral("Ключевые слова"));
    indexLayout->addWidget(indexEdit_);
    indexLayout->addWidget(indexList_);
    tabs_->addTab(index, QStringLiteral("Указатель"));
    tabs_->addTab(BuildSearch(), QStringLiteral("Поиск"));
    // Every tab's title whole, at any scale.
    tabs_->setMinimumWidth(tabs_->tabBar()->sizeHint().width() + 4);

    browser_ = new TopicBrowser([this](const QUrl& url) { return Page(url); }, splitter);
    browser_->setObjectName(QStringLiteral("topic"));
    browser_->setAccessibleName(QStringLiteral("Текст раздела"));
    browser_->setOpenLinks(false);
    browser_->document()->setDefaultStyleSheet(QString::fromUtf8(kPageStyle));
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 570});
    setCentralWidget(splitter);
}

QWidget* ViewerWindow::BuildSearch() {
    searchPage_ = new QWidget(tabs_);
    auto* layout = new QVBoxLayout(searchPage_);
    searchEdit_ = new QLineEdit(searchPage_);
    searchEdit_->setObjectName(QStringLiteral("searchText"));
    searchEdit_->setPlaceholderText(QStringLiteral("Слова для поиска"));
    searchEdit_->setAccessibleName(QStringLiteral("Слова для поиска"));
    searchEdit_->setClearButtonEnabled(true);
    searchStatus_ = new QLabel(searchPage_);
    searchStatus_->setObjectName(QStringLiteral("searchStatus"));
    searchStatus_->setTextFormat(Qt::PlainText);
    searchStatus_->setWordWrap(true);
    searchList_ = new QListWidget(searchPage_);
    searchList_->setObjectName(QStringLiteral("searchResults"));
    searchList_->setAccessibleName(QStringLiteral("Найденные разделы"));
    layout->addWidget(searchEdit_);
    layout->addWidget(searchStatus_);
    layout->addWidget(searchList_);
    return searchPage_;
}

void ViewerWindow::ConnectPanes(QAction* contents) {
    connect(contents, &QAction::triggered, this, &ViewerWindow::ShowContents);
    connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &ViewerWindow::OpenLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        SelectContentsEntry(url.scheme() == QLatin1String(kTopicScheme) ? url.path() : QString());
    });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (const QString id = item->data(0, Qt::UserRole).toString(); !id.isEmpty()) {
            Navigate(TopicUrl(id));
        }
    });
    connect(tree_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OpenClicked(item->data(0, Qt::UserRole).toString()); });
    connect(indexEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        for (int row = 0; row < indexList_->count(); ++row) {
            if (indexList_->item(row)->text().startsWith(text.trimmed(), Qt::CaseInsensitive)) {
                indexList_->setCurrentRow(row);
                indexList_->scrollToItem(indexList_->item(row), QAbstractItemView::PositionAtTop);
                return;
            }
        }
        indexList_->setCurrentRow(-1);
    });
    auto openKeyword = [this] {
        if (auto* item = indexList_->currentItem()) {
            NavigateTo(book_.TopicForKeyword(item->text()));
        }
    };
    connect(indexEdit_, &QLineEdit::returnPressed, this, openKeyword);
    connect(indexList_, &QListWidget::itemActivated, this, openKeyword);
    connect(indexList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { OpenClicked(book_.TopicForKeyword(item->text())); });
}

void ViewerWindow::ConnectSearch() {
    connect(searchEdit_, &QLineEdit::textChanged, this, &ViewerWindow::RunSearch);
    connect(searchEdit_, &QLineEdit::returnPressed, this, [this] {
        if (searchList_->count() == 0) {
            return;
        }
        if (searchList_->currentItem() == nullptr) {
            searchList_->setCurrentRow(0);
        }
        OpenSearchHit(searchList_->currentItem());
        searchList_->setFocus();
    });
    connect(searchList_, &QListWidget::itemActivated, this, &ViewerWindow::OpenSearchHit);
    connect(searchList_, &QListWidget::itemClicked, this, &ViewerWindow::OpenSearchHit);
}

void ViewerWindow::RunSearch(const QString& text) {
    query_ = SearchQuery(text);
    searchList_->clear();
    const QList<Topic>& topics = book_.Topics();
    if (!query_.IsEmpty() && topicTexts_.size() != topics.size()) {
        topicTexts_.clear();
        QTextDocument reader;
        for (const Topic& topic : topics) {
            reader.setHtml(topic.html);
            topicTexts_ << reader.toPlainText();
        }
    }
    for (qsizetype i = 0; i < topics.size() && !query_.IsEmpty(); ++i) {
        if (query_.FoundIn(topicTexts_[i])) {
            auto* item = new QListWidgetItem(topics[i].title, searchList_);
            item->setData(Qt::UserRole, topics[i].id);
        }
    }
    QString status;
    if (!query_.IsEmpty()) {
        status =
            searchList_->count() == 0
                ? QStringLiteral("Ничего не найдено: «%1» нет ни в одном разделе.").arg(text.simplified())
                : QStringLiteral("Найдено разделов: %1.").arg(searchList_->count());
    }
    searchStatus_->setText(status);
    searchList_->setAccessibleDescription(status);
    if (searchList_->count() > 0) {
        searchList_->setCurrentRow(0);
    }
}

void ViewerWindow::OpenSearchHit(QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    Navigate(TopicUrl(item->data(Qt::UserRole).toString()));
    MarkHits();
}

void ViewerWindow::MarkHits() {
    if (query_.IsEmpty()) {
        return;
    }
    // Marked in the topic's own text, which goes with it when another page is loaded.
    QTextCharFormat marked;
    marked.setBackground(QColor(kHitBackground));
    marked.setForeground(Qt::black);
    const QTextDocument* document = browser_->document();
    for (QTextCursor hit = document->find(query_.AnyWord()); !hit.isNull() && hit.hasSelection();
         hit = document->find(query_.AnyWord(), hit)) {
        hit.mergeCharFormat(marked);
    }
    browser_->moveCursor(QTextCursor::Start);
    GoToHit(1);
}

void ViewerWindow::GoToHit(int step) {
    if (query_.IsEmpty()) {
        return;
    }
    const QTextDocument* document = browser_->document();
    const auto direction = step < 0 ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor hit = document->find(query_.AnyWord(), browser_->textCursor(), direction);
    if (hit.isNull()) {
        QTextCursor end(browser_->document());
        end.movePosition(step < 0 ? QTextCursor::End : QTextCursor::Start);
        hit = document->find(query_.AnyWord(), end, direction);
    }
    if (hit.isNull()) {
        return;
    }
    browser_->setTextCursor(hit);
    // A hit at an edge of the pane is brought a third of the way down, with what leads up to it.
    const int height = browser_->viewport()->height();
    if (const int top = browser_->cursorRect().top(); top < height / 6 || top > height * 5 / 6) {
        browser_->verticalScrollBar()->setValue(browser_->verticalScrollBar()->value() + top - height / 3);
    }
}

QString ViewerWindow::Page(const QUrl& url) const {
    QString body;
    if (url.scheme() == QLatin1String(kTopicScheme)) {
        if (const Topic* topic = book_.FindTopic(url.path())) {
            body = topic->html;
        }
    }
    if (body.isEmpty()) {
        body = ContentsPage();
    }
    return QStringLiteral("<html><head><style>%1</style></head><body>%2</body></html>")
        .arg(book_.Style(), body);
}

QString ViewerWindow::ContentsPage() const {
    if (book_.Path().isEmpty()) {
        return QStringLiteral("<h2>Справка</h2><p>Файл справки не найден.</p>");
    }
    QString html = QStringLiteral("<h2>%1</h2>")
                       .arg(Escape(book_.Title().isEmpty() ? QStringLiteral("Содержание") : book_.Title()));
    int depth = 0;
    for (const auto& entry : book_.Contents()) {
        for (; depth < entry.level; ++depth) {
            html += QStringLiteral("<ul>");
        }
        for (; depth > entry.level; --depth) {
            html += QStringLiteral("</ul>");
        }
        if (entry.topicId.isEmpty()) {
            html += QStringLiteral("<li><b>%1</b></li>").arg(Escape(entry.title));
        } else {
            html += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                        .arg(TopicUrl(entry.topicId).toString(QUrl::FullyEncoded), Escape(entry.title));
        }
    }
    for (; depth > 0; --depth) {
        html += QStringLiteral("</ul>");
    }
    return html;
}

void ViewerWindow::FillContents() {
    tree_->clear();
    QList<QTreeWidgetItem*> parents;
    for (const auto& entry : book_.Contents()) {
        while (parents.size() >= entry.level) {
            parents.removeLast();
        }
        auto* item = parents.isEmpty() ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.title);
        item->setData(0, Qt::UserRole, entry.topicId);
        if (entry.topicId.isEmpty()) {
            tree_->setRootIsDecorated(true);
            parents << item;
        }
    }
    tree_->expandAll();
    if (tree_->topLevelItemCount() > 0) {
        tree_->setCurrentItem(tree_->topLevelItem(0));
    }
}

void ViewerWindow::FillIndex() {
    indexList_->clear();
    QStringList keywords = book_.Keywords();
    std::sort(keywords.begin(), keywords.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    indexList_->addItems(keywords);
}

void ViewerWindow::SelectContentsEntry(const QString& topicId) {
    if (topicId.isEmpty()) {
        return;
    }
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString().compare(topicId, Qt::CaseInsensitive) == 0) {
            tree_->setCurrentItem(*it);
            return;
        }
    }
}

QString ViewerWindow::ResolveFile(const QString& file) const {
    const QString path = QFileInfo(QDir(folder_).absoluteFilePath(file)).absoluteFilePath();
    const bool bare = !file.contains(u'/') && !file.contains(u'\\');
    if (bare && !QFileInfo::exists(path) && !helpFolder_.isEmpty()) {
        const QString own = QFileInfo(QDir(helpFolder_).absoluteFilePath(file)).absoluteFilePath();
        if (QFileInfo::exists(own)) {
            return own;
        }
    }
    return path;
}

bool ViewerWindow::UseFile(const QString& file, const QString& folder, const QString& helpFolder) {
    if (!folder.isEmpty()) {
        folder_ = folder;
    }
    if (!helpFolder.isEmpty()) {
        helpFolder_ = helpFolder;
    }
    if (file.isEmpty()) {
        return true;
    }
    const QString path = ResolveFile(file);
    if (path == book_.Path() && !book_.Path().isEmpty()) {
        return true;
    }
    book_.Load(path);
    others_.clear();
    setWindowTitle(book_.Title().isEmpty() ? QString::fromUtf8(kDefaultTitle) : book_.Title());
    FillContents();
    FillIndex();
    topicTexts_.clear();
    RunSearch(searchEdit_->text());
    browser_->clearHistory();
    return false;
}

const HelpBook* ViewerWindow::BookFor(const QString& file) {
    if (file.isEmpty()) {
        return &book_;
    }
    const QString path = ResolveFile(file);
    if (path == book_.Path()) {
        return &book_;
    }
    auto [it, added] = others_.try_emplace(path);
    if (added) {
        it->second.Load(path);
    }
    return &it->second;
}

void ViewerWindow::Navigate(const QUrl& url) {
    if (browser_->source() == url) {
        browser_->reload();
    } else {
        browser_->setSource(url);
    }
}

bool ViewerWindow::NavigateTo(const QString& id) {
    const auto place = book_.Locate(id);
    if (!place) {
        return false;
    }
    Navigate(TopicUrl(place->topicId, place->section));
    return true;
}

void ViewerWindow::OpenClicked(const QString& id) {
    if (const auto place = book_.Locate(id)) {
        if (const QUrl url = TopicUrl(place->topicId, place->section); browser_->source() != url) {
            Navigate(url);
        }
    }
}

void ViewerWindow::ShowContents() {
    Navigate(ContentsUrl());
    tabs_->setCurrentWidget(tree_);
    if (tree_->currentItem() == nullptr && tree_->topLevelItemCount() > 0) {
        tree_->setCurrentItem(tree_->topLevelItem(0));
    }
    tree_->setFocus();
}

void ViewerWindow::ShowTopic(const QString& id) {
    if (!NavigateTo(id)) {
        ShowContents();
        return;
    }
    tabs_->setCurrentWidget(tree_);
    tree_->setFocus();
}

void ViewerWindow::ShowKeywordSearch(const QString& keyword) {
    Navigate(ContentsUrl());
    tabs_->setCurrentWidget(indexEdit_->parentWidget());
    indexEdit_->setText(keyword);
    indexEdit_->selectAll();
    indexEdit_->setFocus();
}

void ViewerWindow::ShowTextSearch() {
    tabs_->setCurrentWidget(searchPage_);
    searchEdit_->setFocus();
    searchEdit_->selectAll();
}

void ViewerWindow::Apply(const ViewAction& action) {
    if (!action.file.isEmpty()) {
        UseFile(action.file, {});
    }
    switch (action.kind) {
    case ViewAction::Kind::Topic:
        ShowTopic(action.topic);
        break;
    case ViewAction::Kind::KeywordSearch:
        NamesAHelpFile(action.keyword) ? ShowContents() : ShowKeywordSearch(action.keyword);
        break;
    case ViewAction::Kind::Contents:
        ShowContents();
        break;
    }
}

void ViewerWindow::OpenLink(const QUrl& url) {
    if (url.scheme() == QLatin1String(kTopicScheme) || url.scheme() == QLatin1String(kContentsScheme)) {
        Navigate(url);
    } else if (url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment()) {
        if (!NavigateTo(url.fragment())) {
            browser_->scrollToAnchor(url.fragment());
        }
    } else if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
               url.scheme() == QLatin1String("mailto")) {
        QDesktopServices::openUrl(url);
    }
}

bool ViewerWindow::Handle(const helpprotocol::Request& request) {
    switch (request.command) {
    case HELP_QUIT:
        return false;
    case HELP_FORCEFILE:
        // A file already shown stays where the user left it.
        if (!UseFile(request.file, request.folder, request.helpFolder) || browser_->source().isEmpty()) {
            ShowContents();
        }
        break;
    case HELP_CONTEXT: {
        UseFile(request.file, request.folder, request.helpFolder);
        const QString id = book_.TopicForContext(request.number);
        id.isEmpty() ? ShowContents() : ShowTopic(id);
        break;
    }
    case HELP_COMMAND: {
        UseFile(request.file, request.folder, request.helpFolder);
        Apply(RunMacros(
            QString::fromUtf8(request.text),
            [this](const QString& file, const QString& id) { return BookFor(file)->Locate(id).has_value(); },
            [this](const QString& file, const QString& keyword) {
                return BookFor(file)->TopicForKeyword(keyword);
            }));
        break;
    }
    default:
        UseFile(request.file, request.folder, request.helpFolder);
        ShowContents();
        break;
    }
    Present();
    return true;
}

void ViewerWindow::Present() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    if (!placed_) {
        placed_ = true;
        PlaceOnScreen();
    }
    show();
    raise();
    activateWindow();
}

void ViewerWindow::PlaceOnScreen() {
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) {
        frame = kFrameGuess;
    }
    const QRect place = CentredFrame(kPreferredSize + frame, screen->availableGeometry());
    resize(place.size() - frame);
    // A window's position is its frame's.
    move(place.topLeft());
}

QByteArray ViewerWindow::StateJson() const {
    QJsonObject state;
    state[QStringLiteral("title")] = windowTitle();
    state[QStringLiteral("visible")] = isVisible();
    state[QStringLiteral("active")] = isActiveWindow();
    state[QStringLiteral("file")] = book_.Path();
    state[QStringLiteral("page")] = browser_->source().toString();
    state[QStringLiteral("tab")] = tabs_->currentWidget() == tree_         ? QStringLiteral("contents")
                                   : tabs_->currentWidget() == searchPage_ ? QStringLiteral("search")
                                                                           : QStringLiteral("index");
    const QWidget* focus = focusWidget();
    state[QStringLiteral("focus")] = focus != nullptr ? focus->objectName() : QString();
    state[QStringLiteral("keyword")] = indexEdit_->text();
    QJsonArray titles;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        titles.append(tree_->topLevelItem(i)->text(0));
    }
    state[QStringLiteral("contents")] = titles;
    state[QStringLiteral("selected")] =
        tree_->currentItem() != nullptr ? tree_->currentItem()->text(0) : QString();
    state[QStringLiteral("keys")] = keysReceived_;
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

} // namespace brelmont::viewer
