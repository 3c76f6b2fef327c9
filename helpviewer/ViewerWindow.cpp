// SPDX-License-Identifier: MIT
#include "helpviewer/ViewerWindow.h"

#include "helpdelivery/display/HelpSystem.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace brelmont::viewer {

namespace {

constexpr auto kTopicScheme = "topic";
constexpr auto kContentsScheme = "contents";

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

QUrl TopicUrl(const QString& id) {
    QUrl url;
    url.setScheme(QLatin1String(kTopicScheme));
    url.setPath(id);
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
    resize(820, 580);

    QAction* contents = BuildNavigation();
    BuildPanes();
    ConnectPanes(contents);
    // The platform hands keys to the window first, then to its focus widget. The window itself exists only
    // once shown, so the filter watches the application.
    qApp->installEventFilter(this);
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == static_cast<QObject*>(windowHandle())) {
        ++keysReceived_;
    }
    return QMainWindow::eventFilter(watched, event);
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
    tabs_->addTab(tree_, QStringLiteral("Содержание"));

    auto* index = new QWidget(tabs_);
    auto* indexLayout = new QVBoxLayout(index);
    indexEdit_ = new QLineEdit(index);
    indexEdit_->setObjectName(QStringLiteral("keyword"));
    indexEdit_->setPlaceholderText(QStringLiteral("Ключевое слово"));
    indexList_ = new QListWidget(index);
    indexList_->setObjectName(QStringLiteral("keywords"));
    indexLayout->addWidget(indexEdit_);
    indexLayout->addWidget(indexList_);
    tabs_->addTab(index, QStringLiteral("Указатель"));

    browser_ = new TopicBrowser([this](const QUrl& url) { return Page(url); }, splitter);
    browser_->setObjectName(QStringLiteral("topic"));
    browser_->setOpenLinks(false);
    browser_->document()->setDefaultStyleSheet(QString::fromUtf8(kPageStyle));
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 570});
    setCentralWidget(splitter);
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
            if (const QString id = book_.TopicForKeyword(item->text()); !id.isEmpty()) {
                Navigate(TopicUrl(id));
            }
        }
    };
    connect(indexEdit_, &QLineEdit::returnPressed, this, openKeyword);
    connect(indexList_, &QListWidget::itemActivated, this, openKeyword);
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

void ViewerWindow::ShowContents() {
    Navigate(ContentsUrl());
    tabs_->setCurrentWidget(tree_);
    if (tree_->currentItem() == nullptr && tree_->topLevelItemCount() > 0) {
        tree_->setCurrentItem(tree_->topLevelItem(0));
    }
    tree_->setFocus();
}

void ViewerWindow::ShowTopic(const QString& id) {
    if (book_.FindTopic(id) == nullptr) {
        ShowContents();
        return;
    }
    Navigate(TopicUrl(id));
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
        if (book_.FindTopic(url.fragment()) != nullptr) {
            Navigate(TopicUrl(url.fragment()));
        } else {
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
            [this](const QString& file, const QString& id) {
                return BookFor(file)->FindTopic(id) != nullptr;
            },
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
    show();
    raise();
    activateWindow();
}

QByteArray ViewerWindow::StateJson() const {
    QJsonObject state;
    state[QStringLiteral("title")] = windowTitle();
    state[QStringLiteral("visible")] = isVisible();
    state[QStringLiteral("active")] = isActiveWindow();
    state[QStringLiteral("file")] = book_.Path();
    state[QStringLiteral("page")] = browser_->source().toString();
    state[QStringLiteral("tab")] =
        tabs_->currentWidget() == tree_ ? QStringLiteral("contents") : QStringLiteral("index");
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
