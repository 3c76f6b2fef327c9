// SPDX-License-Identifier: MIT
#include "ui/widgets/UrlLabel.h"

#include "base/Text.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>
#include <array>
#include <string_view>

namespace brelmont {

namespace {

class DesktopUrlOpener : public IUrlOpener {
public:
    // xdg-open is started detached: the label neither waits for the browser nor hears of its failure.
    bool Open(const QString& address) override { return QDesktopServices::openUrl(QUrl(address)); }
};

DesktopUrlOpener gDesktopOpener;
IUrlOpener* gOpener = &gDesktopOpener;

struct Scheme {
    const char* Test;
    const char* Inserted;
};

constexpr std::array<Scheme, 11> Schemes{{{"HTTP://", "http://"},
                                          {"MAILTO:", "mailto:"},
                                          {"FTP://", "ftp://"},
                                          {"HTTPS://", "https://"},
                                          {"NEWS:", "news:"},
                                          {"NNTP://", "nntp://"},
                                          {"TELNET://", "telnet://"},
                                          {"GOPHER://", "gopher://"},
                                          {"WAIS://", "wais://"},
                                          {"FILE://", "file://"},
                                          {"PROSPERO://", "prospero://"}}};

} // namespace

void SetUrlOpener(IUrlOpener* opener) {
    gOpener = opener != nullptr ? opener : &gDesktopOpener;
}

IUrlOpener& CurrentUrlOpener() {
    return *gOpener;
}

TCustomHotLabel::TCustomHotLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    // A caption label starts at the top left; QLabel's own default centres it vertically.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TCustomHotLabel::setLabelStyle(TLabelStyle value) {
    fLabelStyle = value;
    update();
}

void TCustomHotLabel::setTransparent(bool value) {
    fTransparent = value;
    update();
}

void TCustomHotLabel::setShowAccelChar(bool value) {
    fShowAccelChar = value;
    updateGeometry();
    update();
}

int TCustomHotLabel::TextFlags() const {
    int flags = static_cast<int>(alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask));
    flags |= Qt::TextExpandTabs | (wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
    if (fShowAccelChar) {
        flags |= Qt::TextShowMnemonic;
    }
    return flags;
}

QString TCustomHotLabel::MeasuredText() const {
    const QString caption = text();
    // An empty label keeps the height of one line.
    if (caption.isEmpty() || (fShowAccelChar && caption == QStringLiteral("&"))) {
        return QStringLiteral(" ");
    }
    return caption;
}

QSize TCustomHotLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    const int width = wordWrap() && this->width() > 0 ? contentsRect().width() : QWIDGETSIZE_MAX;
    const QRect bounds =
        fontMetrics().boundingRect(QRect(0, 0, width, QWIDGETSIZE_MAX), TextFlags(), MeasuredText());
    return bounds.size().grownBy(margins);
}

QSize TCustomHotLabel::minimumSizeHint() const {
    return sizeHint();
}

void TCustomHotLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!fTransparent) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
    }
    const QRect area = contentsRect();
    const int flags = TextFlags();
    const QString caption = text();
    if (fLabelStyle != lsNormal) {
        const QColor shadow = palette().color(QPalette::Dark);
        const QColor highlight = palette().color(QPalette::Light);
        painter.setPen(fLabelStyle == lsRaised ? shadow : highlight);
        painter.drawText(area.translated(1, 1), flags, caption);
        painter.setPen(fLabelStyle == lsRaised ? highlight : shadow);
        painter.drawText(area.translated(-1, -1), flags, caption);
    }
    painter.setPen(isEnabled() ? palette().color(QPalette::Active, foregroundRole())
                               : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(area, flags, caption);
}

void TCustomHotLabel::setFontColor(const QColor& colour) {
    QPalette changed = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        changed.setColor(group, QPalette::WindowText, colour);
    }
    setPalette(changed);
}

void TCustomHotLabel::Click() {
    emit OnClick();
}

void TCustomHotLabel::DblClick() {
    emit OnDblClick();
}

void TCustomHotLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        fLeftDown = true;
    }
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TCustomHotLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt delivers the second press of a double click as this alone; its release is not a click of its own.
    if (event->button() == Qt::LeftButton) {
        fLeftDown = false;
        QPointer<TCustomHotLabel> self(this);
        DblClick();
        if (self == nullptr) {
            return;
        }
    }
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TCustomHotLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QPointer<TCustomHotLabel> self(this);
    emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
    if (self == nullptr || event->button() != Qt::LeftButton) {
        return;
    }
    const bool clicked = fLeftDown && rect().contains(at);
    fLeftDown = false;
    if (clicked) {
        Click();
    }
}

void TCustomHotLabel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit OnMouseMove(event->buttons(), event->modifiers(), at.x(), at.y());
}

void TCustomHotLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    if (fMouseInside) {
        return;
    }
    fMouseInside = true;
    if (fHotTrack) {
        fSavedColor = palette().color(QPalette::Active, QPalette::WindowText);
        fSavedUnderline = font().underline();
        setFontColor(fHotColor.isValid() ? fHotColor : palette().color(QPalette::Highlight));
        QFont hotFont = font();
        hotFont.setUnderline(fHotUnderline);
        setFont(hotFont);
    }
    emit OnMouseEnter();
}

void TCustomHotLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (!fMouseInside) {
        return;
    }
    fMouseInside = false;
    if (fHotTrack) {
        setFontColor(fSavedColor);
        QFont normalFont = font();
        normalFont.setUnderline(fSavedUnderline);
        setFont(normalFont);
    }
    emit OnMouseExit();
}

TUrlLabel::TUrlLabel(QWidget* parent) : TCustomHotLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setFontColor(palette().color(QPalette::Highlight));
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}

QString TUrlLabel::AddressToOpen(const QString& url, TUrlType type) {
    if (url.isEmpty()) {
        return {};
    }
    const Scheme& scheme = Schemes.at(static_cast<std::size_t>(type));
    const std::string_view test = scheme.Test;
    // Latin-1 keeps one byte per character, and nothing outside ASCII can match a scheme.
    const QByteArray head = url.left(static_cast<qsizetype>(test.size())).toLatin1();
    if (StartsWithAsciiCase(std::string_view(head.constData(), static_cast<std::size_t>(head.size())),
                            test)) {
        return url;
    }
    return QString::fromLatin1(scheme.Inserted) + url;
}

bool TUrlLabel::OpenURL() {
    const QString address = AddressToOpen(fURL, fURLType);
    return !address.isEmpty() && CurrentUrlOpener().Open(address);
}

void TUrlLabel::Click() {
    // Taken before the handler runs: it may close, or even delete, the window holding the label.
    const QString address = AddressToOpen(fURL, fURLType);
    const bool opens = fSingleClick;
    TCustomHotLabel::Click();
    if (opens && !address.isEmpty()) {
        CurrentUrlOpener().Open(address);
    }
}

void TUrlLabel::DblClick() {
    const QString address = AddressToOpen(fURL, fURLType);
    const bool opens = !fSingleClick;
    TCustomHotLabel::DblClick();
    if (opens && !address.isEmpty()) {
        CurrentUrlOpener().Open(address);
    }
}

} // namespace brelmont
