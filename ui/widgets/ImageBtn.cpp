// SPDX-License-Identifier: MIT
#include "ui/widgets/ImageBtn.h"

#include "ui/widgets/SharpPicture.h"

#include <QDialog>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <span>

namespace brelmont {

namespace {

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EInOutError("Cannot open " + path.toStdString() + ": " + file.errorString().toStdString(),
                          static_cast<int>(file.error()));
    }
    return file.readAll();
}

QRgb ToRgb(TColor colour) {
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QRegion ToRegion(const std::optional<TShape>& shape) {
    if (!shape || shape->empty()) {
        return {};
    }
    std::vector<QRect> rects;
    rects.reserve(shape->size());
    for (const TShapeRect& r : *shape) {
        rects.emplace_back(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
    }
    if (IsNormalForm(*shape)) {
        QRegion region;
        region.setRects(rects.data(), static_cast<int>(rects.size()));
        return region;
    }
    // Blocks from elsewhere may list their rectangles in any order; the union is the same shape.
    QRegion region;
    for (const QRect& r : rects) {
        region += r;
    }
    return region;
}

} // namespace

TImageBtn::TImageBtn(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void TImageBtn::setImageResource(const QString& path) {
    setImageData(path.isEmpty() ? QByteArray() : ReadResource(path));
    fImageResource = path;
    QString sharp = path;
    sharp.insert(path.lastIndexOf(u'.') < 0 ? path.size() : path.lastIndexOf(u'.'), QStringLiteral("@2x"));
    setImage2x(!path.isEmpty() && QFile::exists(sharp) ? TBitmap24::LoadFromBmp(Bytes(ReadResource(sharp)))
                                                       : TBitmap24());
}

void TImageBtn::setImage2x(TBitmap24 picture) {
    fImage2x = std::move(picture);
    fUpFace = {};
    fDownFace = {};
    update();
}

void TImageBtn::setImageDownResource(const QString& path) {
    setImageDownData(path.isEmpty() ? QByteArray() : ReadResource(path));
    fImageDownResource = path;
}

void TImageBtn::setRegionResource(const QString& path) {
    setRegionData(path.isEmpty() ? QByteArray(4, '\0') : ReadResource(path));
    fRegionResource = path;
}

void TImageBtn::setDownRegionResource(const QString& path) {
    setDownRegionData(path.isEmpty() ? QByteArray(4, '\0') : ReadResource(path));
    fDownRegionResource = path;
}

QByteArray TImageBtn::ImageData() const {
    return ToByteArray(fShapes.Image().SaveToBmp());
}

void TImageBtn::setImageData(const QByteArray& bmp) {
    setImage(TBitmap24::LoadFromBmp(Bytes(bmp)));
}

QByteArray TImageBtn::ImageDownData() const {
    return ToByteArray(fShapes.ImageDown().SaveToBmp());
}

void TImageBtn::setImageDownData(const QByteArray& bmp) {
    setImageDown(TBitmap24::LoadFromBmp(Bytes(bmp)));
}

QByteArray TImageBtn::RegionData() const {
    return ToByteArray(fShapes.NormalData());
}

void TImageBtn::setRegionData(const QByteArray& block) {
    fShapes.SetNormalData(Bytes(block));
    PicturesChanged();
}

QByteArray TImageBtn::DownRegionData() const {
    return ToByteArray(fShapes.DownData());
}

void TImageBtn::setDownRegionData(const QByteArray& block) {
    fShapes.SetDownData(Bytes(block));
    PicturesChanged();
}

void TImageBtn::setImage(TBitmap24 picture) {
    fShapes.SetImage(std::move(picture));
    PicturesChanged();
}

void TImageBtn::setImageDown(TBitmap24 picture) {
    fShapes.SetImageDown(std::move(picture));
    PicturesChanged();
}

void TImageBtn::setTransparentColor(int value) {
    fShapes.SetTransparentColor(value);
    PicturesChanged();
}

void TImageBtn::setImageDownX(int value) {
    fImageDownX = value;
    fDownFace = {};
    update();
}

void TImageBtn::setImageDownY(int value) {
    fImageDownY = value;
    fDownFace = {};
    update();
}

void TImageBtn::setShadowColor(int value) {
    fShadowColor = value;
    fUpFace = {};
    fDownFace = {};
    update();
}

void TImageBtn::setNumGlyphs(int value) {
    fNumGlyphs = std::clamp(value, 1, 4);
}

void TImageBtn::setDown(bool value) {
    fDown = value;
    if (!fTracking) {
        SetPressed(value);
    }
}

QSize TImageBtn::sizeHint() const {
    return fShapes.Image().Empty() ? QSize(32, 32) : QSize(fShapes.Image().Width(), fShapes.Image().Height());
}

void TImageBtn::PicturesChanged() {
    fUpFace = {};
    fDownFace = {};
    if (fShapeApplied) {
        ApplyShape();
    }
    update();
}

void TImageBtn::ApplyShape() {
    fShapes.SetSize(width(), height());
    fAppliedShape = ToRegion(fPressed ? fShapes.DownShape() : fShapes.NormalShape());
    fShapeApplied = true;
    // Setting the mask repaints what it uncovers on the parent; an empty one means a rectangular button.
    if (fAppliedShape.isEmpty()) {
        clearMask();
    } else {
        setMask(fAppliedShape);
    }
}

void TImageBtn::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ApplyShape();
}

void TImageBtn::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fUpFace = {};
    fDownFace = {};
    if (fShapeApplied) {
        ApplyShape();
    }
}

void TImageBtn::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        // A disabled button is passed over, so the pointer reaches whatever lies beneath it.
        setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
        if (!isEnabled()) {
            fTracking = false;
            SetPressed(fDown);
            fPointerOver = false;
        }
    }
}

const QImage& TImageBtn::Face(bool pressed) {
    QImage& face = pressed ? fDownFace : fUpFace;
    const qreal ratio = devicePixelRatioF();
    if (!face.isNull() && face.deviceIndependentSize().toSize() == size() &&
        face.devicePixelRatio() == ratio) {
        return face;
    }
    if (ratio >= kSharpRatio && !fImage2x.Empty() && !fShapes.Image().Empty() &&
        fShapes.ImageDown().Empty() && !size().isEmpty()) {
        face = SharpFace(pressed, ratio);
        return face;
    }
    face = QImage(size(), QImage::Format_RGB32);
    const TBitmap24& up = fShapes.Image();
    if (up.Empty()) {
        face.fill(palette().color(QPalette::Button));
        return face;
    }
    const bool ownDownPicture = pressed && !fShapes.ImageDown().Empty();
    const TBitmap24& picture = ownDownPicture ? fShapes.ImageDown() : up;
    const TBitmap24 work = picture.Stretched(width(), height());
    const std::optional<TColor> transparent = TransparentColorFor(fShapes.TransparentColor(), picture);
    const QRgb backdrop = ToRgb(fShadowColor);
    face.fill(backdrop);
    const int dx = pressed && !ownDownPicture ? fImageDownX : 0;
    const int dy = pressed && !ownDownPicture ? fImageDownY : 0;
    for (int y = std::max(0, -dy); y < work.Height() && y + dy < face.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(face.scanLine(y + dy));
        for (int x = std::max(0, -dx); x < work.Width() && x + dx < face.width(); ++x) {
            const TColor colour = work.Pixel(x, y);
            line[x + dx] = transparent && colour == *transparent ? backdrop : ToRgb(colour);
        }
    }
    return face;
}

// The same composition as Face at the screen's own pixels: the 2x picture stretched to the device size, the
// press offset scaled with it, the strip it uncovers showing the backdrop as at 1x. Where the 2x picture is
// transparent the face is clear: at a fractional scale the outline's logical pixels round out to whole
// screen pixels past the finer 2x edge, and the parent, painted beneath as for any child widget, shows
// there instead of specks of backdrop.
QImage TImageBtn::SharpFace(bool pressed, qreal ratio) const {
    const QSize device(qRound(width() * ratio), qRound(height() * ratio));
    QImage face(device, QImage::Format_ARGB32_Premultiplied);
    const TBitmap24 work = fImage2x.Stretched(device.width(), device.height());
    const std::optional<TColor> transparent = TransparentColorFor(fShapes.TransparentColor(), fImage2x);
    const QRgb backdrop = ToRgb(fShadowColor);
    face.fill(backdrop);
    const int dx = pressed ? qRound(fImageDownX * ratio) : 0;
    const int dy = pressed ? qRound(fImageDownY * ratio) : 0;
    for (int y = std::max(0, -dy); y < work.Height() && y + dy < face.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(face.scanLine(y + dy));
        for (int x = std::max(0, -dx); x < work.Width() && x + dx < face.width(); ++x) {
            const TColor colour = work.Pixel(x, y);
            line[x + dx] = !transparent || colour != *transparent ? ToRgb(colour) : qRgba(0, 0, 0, 0);
        }
    }
    face.setDevicePixelRatio(ratio);
    return face;
}

void TImageBtn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Face(fPressed));
}

bool TImageBtn::IsInside(const QPoint& point) const {
    const QWidget* top = window();
    if (top->isWindow() && !top->isActiveWindow()) {
        return false;
    }
    if (const QWidget* parent = parentWidget(); parent != nullptr && !isWindow()) {
        return parent->childAt(mapToParent(point)) == this;
    }
    return rect().contains(point) && (fAppliedShape.isEmpty() || fAppliedShape.contains(point));
}

void TImageBtn::SetPressed(bool pressed) {
    if (pressed == fPressed) {
        return;
    }
    fPressed = pressed;
    if (fShapeApplied && fShapes.DownHasOwnShape()) {
        ApplyShape();
    }
    repaint();
}

void TImageBtn::SetPointerOver(bool over) {
    if (over == fPointerOver) {
        return;
    }
    fPointerOver = over;
    if (over) {
        emit OnMouseEnter();
    } else {
        emit OnMouseLeave();
    }
}

void TImageBtn::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        fTracking = true;
        fSavedPressed = fPressed;
        SetPressed(true);
    }
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TImageBtn::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QPointer<TImageBtn> self(this);
    emit OnMouseMove(event->buttons(), event->modifiers(), at.x(), at.y());
    if (self == nullptr || !fTracking || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const bool inside = IsInside(at);
    // While the button holds the pointer, Qt sends no enter or leave; the button reports its own.
    SetPointerOver(inside);
    if (inside && !fPressed) {
        SetPressed(true);
    } else if (!inside && fPressed && !fSavedPressed) {
        SetPressed(false);
    }
}

void TImageBtn::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QPointer<TImageBtn> self(this);
    emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
    if (self == nullptr || event->button() != Qt::LeftButton || !fTracking) {
        return;
    }
    SetPressed(fDown);
    const bool inside = IsInside(at);
    fTracking = false;
    if (inside) {
        Click();
    }
}

void TImageBtn::Click() {
    QPointer<TImageBtn> self(this);
    emit OnClick();
    if (self == nullptr) {
        return;
    }
    if (fKind == bkClose) {
        window()->close();
    } else if (fModalResult != 0) {
        if (auto* dialog = qobject_cast<QDialog*>(window())) {
            dialog->done(fModalResult);
        }
    }
    update();
}

void TImageBtn::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    SetPointerOver(true);
}

void TImageBtn::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    SetPointerOver(false);
}

} // namespace brelmont
