// SPDX-License-Identifier: MIT
// The toolbar's push button drawn entirely from a 24-bit picture, whose outline is the picture's opaque part:
// outside it the button neither draws nor takes the pointer, so whatever lies beneath (a sibling label too)
// gets the moves, the cursor and the clicks. The pressed face moves the picture by ImageDownX, ImageDownY
// over the black backdrop. A disabled button looks exactly like an enabled one and is passed over by the
// pointer. It never takes the keyboard focus.
//
// Use from a .ui file as a promoted widget: class brelmont::TImageBtn, extends QWidget, header
// "ui/widgets/ImageBtn.h". The picture and the stored outlines are design data given by path (a Qt resource
// ":/..." or a file): `imageResource` is a Windows 24-bit .bmp, `regionResource` a block written by
// brelmont_shapegen for the button's size. List `imageResource` before `regionResource` in the .ui, because
// a new picture discards the stored outline. A picture "name@2x.bmp" beside `imageResource`, made for twice
// the button's size, draws the face on screens of device pixel ratio 1.5 and more; the outline stays the one
// of the 1x picture, in logical pixels. Colours are TColor values (red + 256 * green + 65536 * blue;
// 536870911 = clNone, 268435455 = no transparency). Malformed data raises EInvalidGraphic from the setter.
//
// Signals, all raised with the button as sender():
//   OnMouseDown(button, modifiers, x, y)  after the button's own handling of a press
//   OnMouseMove(buttons, modifiers, x, y) every move over the outline, and anywhere while a press is held;
//                                         raised before the button updates its pressed look
//   OnMouseUp(button, modifiers, x, y)    before the button's own handling of the release
//   OnClick()                             a left press that began on the button released over its outline
//   OnMouseEnter(), OnMouseLeave()        the pointer came onto / left the outline; one leave per enter
#pragma once

#include "ui/widgets/ShapeData.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QWidget>

namespace brelmont {

class TImageBtn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString imageResource READ imageResource WRITE setImageResource)
    Q_PROPERTY(QString imageDownResource READ imageDownResource WRITE setImageDownResource)
    Q_PROPERTY(QString regionResource READ regionResource WRITE setRegionResource)
    Q_PROPERTY(QString downRegionResource READ downRegionResource WRITE setDownRegionResource)
    // clNone: the picture's top-left pixel; clNoTransparency: no cut-out; anything else: that colour.
    Q_PROPERTY(int TransparentColor READ TransparentColor WRITE setTransparentColor)
    Q_PROPERTY(int ImageDownX READ ImageDownX WRITE setImageDownX)
    Q_PROPERTY(int ImageDownY READ ImageDownY WRITE setImageDownY)
    // The backdrop of the faces.
    Q_PROPERTY(int ShadowColor READ ShadowColor WRITE setShadowColor)
    // The looks below are kept as properties only; the button draws bsNormal with no caption or glyph.
    Q_PROPERTY(int Color READ Color WRITE setColor)
    Q_PROPERTY(TShadeStyle ShadeStyle READ ShadeStyle WRITE setShadeStyle)
    Q_PROPERTY(int DitherColor READ DitherColor WRITE setDitherColor)
    Q_PROPERTY(TDitherStyle DitherStyle READ DitherStyle WRITE setDitherStyle)
    Q_PROPERTY(int GlyphX READ GlyphX WRITE setGlyphX)
    Q_PROPERTY(int GlyphY READ GlyphY WRITE setGlyphY)
    Q_PROPERTY(int TextX READ TextX WRITE setTextX)
    Q_PROPERTY(int TextY READ TextY WRITE setTextY)
    Q_PROPERTY(int TextDownX READ TextDownX WRITE setTextDownX)
    Q_PROPERTY(int TextDownY READ TextDownY WRITE setTextDownY)
    Q_PROPERTY(bool ParentClipping READ ParentClipping WRITE setParentClipping)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(TButtonKind Kind READ Kind WRITE setKind)
    // Given to a QDialog that holds the button (QDialog::done) when it is clicked; 0 gives nothing.
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE setAllowAllUp)

public:
    enum TShadeStyle { bsNormal, bsRaised, bsHighlight, bsFlat };
    Q_ENUM(TShadeStyle)
    enum TDitherStyle { dsDither, dsBlendDither, dsFill };
    Q_ENUM(TDitherStyle)
    enum TButtonKind {
        bkCustom,
        bkOK,
        bkCancel,
        bkHelp,
        bkYes,
        bkNo,
        bkClose,
        bkAbort,
        bkRetry,
        bkIgnore,
        bkAll
    };
    Q_ENUM(TButtonKind)

    explicit TImageBtn(QWidget* parent = nullptr);

    QString imageResource() const { return fImageResource; }
    void setImageResource(const QString& path);
    QString imageDownResource() const { return fImageDownResource; }
    void setImageDownResource(const QString& path);
    QString regionResource() const { return fRegionResource; }
    void setRegionResource(const QString& path);
    QString downRegionResource() const { return fDownRegionResource; }
    void setDownRegionResource(const QString& path);

    // The same data as bytes: a bitmap file (empty for no picture) and shape blocks (4 zero bytes for none).
    QByteArray ImageData() const;
    void setImageData(const QByteArray& bmp);
    QByteArray ImageDownData() const;
    void setImageDownData(const QByteArray& bmp);
    QByteArray RegionData() const;
    void setRegionData(const QByteArray& block);
    QByteArray DownRegionData() const;
    void setDownRegionData(const QByteArray& block);

    const TBitmap24& Image() const { return fShapes.Image(); }
    void setImage(TBitmap24 picture);
    const TBitmap24& ImageDown() const { return fShapes.ImageDown(); }
    void setImageDown(TBitmap24 picture);
    // The face for scaled screens; empty: the 1x picture is stretched there too.
    const TBitmap24& Image2x() const { return fImage2x; }
    void setImage2x(TBitmap24 picture);

    int TransparentColor() const { return fShapes.TransparentColor(); }
    void setTransparentColor(int value);
    int ImageDownX() const { return fImageDownX; }
    void setImageDownX(int value);
    int ImageDownY() const { return fImageDownY; }
    void setImageDownY(int value);
    int ShadowColor() const { return fShadowColor; }
    void setShadowColor(int value);

    int Color() const { return fColor; }
    void setColor(int value) { fColor = value; }
    TShadeStyle ShadeStyle() const { return fShadeStyle; }
    void setShadeStyle(TShadeStyle value) { fShadeStyle = value; }
    int DitherColor() const { return fDitherColor; }
    void setDitherColor(int value) { fDitherColor = value; }
    TDitherStyle DitherStyle() const { return fDitherStyle; }
    void setDitherStyle(TDitherStyle value) { fDitherStyle = value; }
    int GlyphX() const { return fGlyphX; }
    void setGlyphX(int value) { fGlyphX = value; }
    int GlyphY() const { return fGlyphY; }
    void setGlyphY(int value) { fGlyphY = value; }
    int TextX() const { return fTextX; }
    void setTextX(int value) { fTextX = value; }
    int TextY() const { return fTextY; }
    void setTextY(int value) { fTextY = value; }
    int TextDownX() const { return fTextDownX; }
    void setTextDownX(int value) { fTextDownX = value; }
    int TextDownY() const { return fTextDownY; }
    void setTextDownY(int value) { fTextDownY = value; }
    bool ParentClipping() const { return fParentClipping; }
    void setParentClipping(bool value) { fParentClipping = value; }
    int NumGlyphs() const { return fNumGlyphs; }
    // Domain 0 to 4; 0 is read as 1, anything else outside is clamped.
    void setNumGlyphs(int value);
    TButtonKind Kind() const { return fKind; }
    void setKind(TButtonKind value) { fKind = value; }
    int ModalResult() const { return fModalResult; }
    void setModalResult(int value) { fModalResult = value; }
    int GroupIndex() const { return fGroupIndex; }
    void setGroupIndex(int value) { fGroupIndex = value; }
    bool Down() const { return fDown; }
    void setDown(bool value);
    bool AllowAllUp() const { return fAllowAllUp; }
    void setAllowAllUp(bool value) { fAllowAllUp = value; }

    // State the tests and the main window may look at.
    bool Pressed() const { return fPressed; }
    bool Tracking() const { return fTracking; }
    bool PointerOver() const { return fPointerOver; }
    // The shape given to the window; empty while the button is rectangular or not shown yet.
    QRegion AppliedShape() const { return fAppliedShape; }
    int ShapeBuildCount() const { return fShapes.BuildCount(); }

    // The inside test of the press tracking: false while the top-level window holding the button is not
    // active; otherwise whether the parent's child at that point (button coordinates) is this button.
    bool IsInside(const QPoint& point) const;

    QSize sizeHint() const override;

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PicturesChanged();
    void ApplyShape();
    void SetPressed(bool pressed);
    void SetPointerOver(bool over);
    void Click();
    const QImage& Face(bool pressed);
    QImage SharpFace(bool pressed, qreal ratio) const;

    TImageShapes fShapes;
    TBitmap24 fImage2x;
    QString fImageResource;
    QString fImageDownResource;
    QString fRegionResource;
    QString fDownRegionResource;

    int fImageDownX = 2;
    int fImageDownY = 2;
    int fShadowColor = clBlack;
    int fColor = clNone;
    TShadeStyle fShadeStyle = bsNormal;
    int fDitherColor = clWhite;
    TDitherStyle fDitherStyle = dsDither;
    int fGlyphX = 0;
    int fGlyphY = 0;
    int fTextX = 0;
    int fTextY = 0;
    int fTextDownX = 1;
    int fTextDownY = 1;
    bool fParentClipping = false;
    int fNumGlyphs = 1;
    TButtonKind fKind = bkCustom;
    int fModalResult = 0;
    int fGroupIndex = 0;
    bool fDown = false;
    bool fAllowAllUp = false;

    bool fTracking = false;
    bool fPressed = false;
    bool fSavedPressed = false;
    bool fPointerOver = false;
    bool fShapeApplied = false;
    QRegion fAppliedShape;
    QImage fUpFace;
    QImage fDownFace;
};

} // namespace brelmont
