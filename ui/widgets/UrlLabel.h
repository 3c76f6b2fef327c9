// SPDX-License-Identifier: MIT
// The caption labels of the program's windows. TCustomHotLabel is a QLabel that draws its own caption (raised
// or sunken lettering, literal or accelerator ampersands, grey when disabled) and reports the pointer's entry
// and exit, optionally changing colour and underline while the pointer is over it. TUrlLabel adds an address
// that a click opens with the desktop's default handler, through the IUrlOpener seam.
//
// Use from a .ui file as a promoted widget: class brelmont::TUrlLabel, extends QLabel, header
// "ui/widgets/UrlLabel.h". Caption, alignment (horizontal and vertical; left and top unless the design says
// otherwise) and word wrap are QLabel's own `text`, `alignment` and `wordWrap`; the font colour is the
// palette's WindowText; the cursor is QWidget's `cursor`. Enum values are written scoped, e.g.
// <enum>brelmont::TUrlLabel::urlMailTo</enum>.
//
// Signals, all raised with the label as sender():
//   OnClick()                      left press and release on the label; raised before the address is opened
//   OnDblClick()                   left double click; raised before the address is opened (SingleClick false)
//   OnMouseDown(button, modifiers, x, y), OnMouseUp(button, modifiers, x, y)
//   OnMouseMove(buttons, modifiers, x, y)   every pointer move over the label (mouse tracking is on)
//   OnMouseEnter(), OnMouseExit()  the pointer came onto / left the label; exit comes once for each entry
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace brelmont {

// Where addresses go. The real one hands them to the desktop and does not wait; tests install a recorder.
class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;
    // True when the desktop accepted the address.
    virtual bool Open(const QString& address) = 0;
};

// The opener used by every URL label; nullptr restores the desktop's. The caller keeps ownership.
void SetUrlOpener(IUrlOpener* opener);
IUrlOpener& CurrentUrlOpener();

class TCustomHotLabel : public QLabel {
    Q_OBJECT
    // Change colour and underline while the pointer is over the label.
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE setHotTrack)
    // Font colour while hot; an invalid colour (the default) means the palette's highlight colour.
    Q_PROPERTY(QColor HotColor READ HotColor WRITE setHotColor)
    // While hot: true adds the underline, false removes it.
    Q_PROPERTY(bool HotUnderline READ HotUnderline WRITE setHotUnderline)
    Q_PROPERTY(TLabelStyle LabelStyle READ LabelStyle WRITE setLabelStyle)
    // False fills the label with its palette's Window colour; true lets the parent show through.
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    // True: "&" underlines the next letter and "&&" is one ampersand; false: ampersands are drawn as they
    // are.
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE setShowAccelChar)

public:
    enum TLabelStyle { lsNormal, lsRaised, lsSunken };
    Q_ENUM(TLabelStyle)

    explicit TCustomHotLabel(QWidget* parent = nullptr);

    bool HotTrack() const { return fHotTrack; }
    void setHotTrack(bool value) { fHotTrack = value; }
    QColor HotColor() const { return fHotColor; }
    void setHotColor(const QColor& value) { fHotColor = value; }
    bool HotUnderline() const { return fHotUnderline; }
    void setHotUnderline(bool value) { fHotUnderline = value; }
    TLabelStyle LabelStyle() const { return fLabelStyle; }
    void setLabelStyle(TLabelStyle value);
    bool Transparent() const { return fTransparent; }
    void setTransparent(bool value);
    bool ShowAccelChar() const { return fShowAccelChar; }
    void setShowAccelChar(bool value);

    // True between an entry and the matching exit.
    bool MouseInside() const { return fMouseInside; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseEnter();
    void OnMouseExit();

public:
    // The caption's colour while enabled. A disabled label keeps the system's grey text whatever this is.
    void setFontColor(const QColor& colour);

protected:
    // The label's reaction to a click and a double click: here the signal; derived labels call this first
    // and then add their own behaviour, so the window's handler always runs before it.
    virtual void Click();
    virtual void DblClick();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int TextFlags() const;
    QString MeasuredText() const;

    bool fHotTrack = false;
    QColor fHotColor;
    bool fHotUnderline = true;
    TLabelStyle fLabelStyle = lsNormal;
    bool fTransparent = false;
    bool fShowAccelChar = true;

    bool fMouseInside = false;
    bool fLeftDown = false;
    QColor fSavedColor;
    bool fSavedUnderline = false;
};

class TUrlLabel : public TCustomHotLabel {
    Q_OBJECT
    // The address to open; opening never changes it.
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    // The scheme the address must carry; its prefix is put in front when the address does not start with it.
    Q_PROPERTY(TUrlType URLType READ URLType WRITE setURLType)
    // True: a single click opens the address; false: a double click does.
    Q_PROPERTY(bool SingleClick READ SingleClick WRITE setSingleClick)

public:
    enum TUrlType {
        urlHTTP,
        urlMailTo,
        urlFTP,
        urlHTTPS,
        urlNews,
        urlNNTP,
        urlTelnet,
        urlGopher,
        urlWAIS,
        urlFile,
        urlProspero
    };
    Q_ENUM(TUrlType)

    // Starts with the hand cursor, the highlight colour and an underlined font, as a link made in code looks.
    explicit TUrlLabel(QWidget* parent = nullptr);

    QString URL() const { return fURL; }
    void setURL(const QString& value) { fURL = value; }
    TUrlType URLType() const { return fURLType; }
    void setURLType(TUrlType value) { fURLType = value; }
    bool SingleClick() const { return fSingleClick; }
    void setSingleClick(bool value) { fSingleClick = value; }

    // The address as it is handed to the desktop: url unchanged when its first characters, upper-cased
    // (a to z only), equal the type's prefix; otherwise the lower-case prefix followed by url. Empty for an
    // empty url.
    static QString AddressToOpen(const QString& url, TUrlType type);

    // Opens the address through CurrentUrlOpener(); false for an empty URL or when the desktop refused.
    bool OpenURL();

protected:
    void Click() override;
    void DblClick() override;

private:
    QString fURL;
    TUrlType fURLType = urlHTTP;
    bool fSingleClick = true;
};

} // namespace brelmont
