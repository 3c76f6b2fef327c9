// SPDX-License-Identifier: MIT
#include "ui/widgets/SharpPicture.h"

#include <QEvent>
#include <QImage>
#include <QLabel>

namespace brelmont {

namespace {

class SharpPicture final : public QObject {
public:
    SharpPicture(QLabel& label, QString path2x)
        : QObject(&label), fLabel(label), f1x(label.pixmap()), fPath2x(std::move(path2x)) {
        label.installEventFilter(this);
        Choose();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show) {
            Choose();
        }
        return false;
    }

private:
    void Choose() {
        const qreal ratio = fLabel.devicePixelRatioF();
        if (ratio == fShownRatio) {
            return;
        }
        fShownRatio = ratio;
        fLabel.setPixmap(PictureForRatio(f1x, fPath2x, ratio));
    }

    QLabel& fLabel;
    QPixmap f1x;
    QString fPath2x;
    qreal fShownRatio = 0;
};

} // namespace

QPixmap PictureForRatio(const QPixmap& picture1x, const QString& path2x, qreal ratio) {
    if (ratio < kSharpRatio || picture1x.isNull()) {
        return picture1x;
    }
    QImage sharp(path2x);
    if (sharp.isNull()) {
        return picture1x;
    }
    const QSize logical = picture1x.deviceIndependentSize().toSize();
    const QSize device(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    if (sharp.size() != device) {
        sharp = sharp.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    sharp.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(sharp);
}

void UseSharpPictures(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (const QString path = label->property("picture2x").toString(); !path.isEmpty()) {
            new SharpPicture(*label, path);
        }
    }
}

} // namespace brelmont
