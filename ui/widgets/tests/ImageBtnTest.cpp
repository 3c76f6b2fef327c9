// SPDX-License-Identifier: MIT
#include "ui/widgets/ImageBtn.h"

#include "ui/widgets/tests/WidgetsTestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace brelmont {
namespace {

using testing::PointerFixture;

constexpr TColor Red = 0x0000FF;
constexpr TColor Navy = 0x800000;
constexpr TColor NearWhite = 0xFCFCFE;

// A white 32x32 picture holding a square from 4 to 27 with a transparent hole from 14 to 17, and one navy
// pixel at (4,4) so the picture's placement can be read off a face.
TBitmap24 SquareWithHole(TColor background = clWhite) {
    TBitmap24 picture(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool square = x >= 4 && x < 28 && y >= 4 && y < 28;
            const bool hole = x >= 14 && x < 18 && y >= 14 && y < 18;
            picture.SetPixel(x, y, square && !hole ? Red : background);
        }
    }
    picture.SetPixel(4, 4, Navy);
    return picture;
}

// A round picture that touches all four edges, as a toolbar icon does.
TBitmap24 Disc(int size) {
    TBitmap24 picture(size, size);
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            picture.SetPixel(x, y, dx * dx + dy * dy <= centre * centre + 1 ? Red : clWhite);
        }
    }
    return picture;
}

QByteArray Block(const std::optional<TShape>& shape) {
    const auto bytes = EncodeShapeData(shape);
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// A label below a button, the way the main window lays its hot-spots under the toolbar.
class ImageBtnPointer : public PointerFixture {
protected:
    void SetUp() override {
        PointerFixture::SetUp();
        label = new TUrlLabel(form.get());
        label->setGeometry(0, 0, 150, 80);
        label->setURL(QStringLiteral("brelmont.ru"));
        button = new TImageBtn(form.get());
        button->setGeometry(50, 20, 32, 32);
        button->setCursor(Qt::PointingHandCursor);
        button->setImage(SquareWithHole());
        for (const char* name : {"OnMouseDown", "OnMouseUp", "OnClick", "OnMouseEnter", "OnMouseLeave"}) {
            Record(name);
        }
        QObject::connect(label, &TCustomHotLabel::OnClick, [this] { log.push_back("label OnClick"); });
        QObject::connect(label, &TCustomHotLabel::OnMouseEnter,
                         [this] { log.push_back("label OnMouseEnter"); });
        QObject::connect(label, &TCustomHotLabel::OnMouseExit,
                         [this] { log.push_back("label OnMouseExit"); });
        moves = std::make_unique<QSignalSpy>(button, &TImageBtn::OnMouseMove);
        Show();
        log.clear();
    }
    void Record(const std::string& name) {
        if (name == "OnMouseDown") {
            QObject::connect(button, &TImageBtn::OnMouseDown, [this] { log.push_back("OnMouseDown"); });
        } else if (name == "OnMouseUp") {
            QObject::connect(button, &TImageBtn::OnMouseUp, [this] { log.push_back("OnMouseUp"); });
        } else if (name == "OnClick") {
            QObject::connect(button, &TImageBtn::OnClick, [this] { log.push_back("OnClick"); });
        } else if (name == "OnMouseEnter") {
            QObject::connect(button, &TImageBtn::OnMouseEnter, [this] { log.push_back("OnMouseEnter"); });
        } else {
            QObject::connect(button, &TImageBtn::OnMouseLeave, [this] { log.push_back("OnMouseLeave"); });
        }
    }
    long Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }

    TUrlLabel* label = nullptr;
    TImageBtn* button = nullptr;
    std::unique_ptr<QSignalSpy> moves;
    const QPoint onShape{8, 8};
    const QPoint inHole{15, 15};
    const QPoint outside{8, 45};
};

TEST_F(ImageBtnPointer, PressAndReleaseOnTheShapeIsOneClickAfterTheMouseEvents) {
    Move(button, onShape);
    Press(button, onShape);
    EXPECT_TRUE(button->Pressed());
    EXPECT_TRUE(button->Tracking());
    Release(button, onShape);
    EXPECT_EQ(log, (std::vector<std::string>{"OnMouseEnter", "OnMouseDown", "OnMouseUp", "OnClick"}));
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->Tracking());
}

TEST_F(ImageBtnPointer, ReleaseOverATransparentPixelIsNoClick) {
    Press(button, onShape);
    Move(button, inHole);
    EXPECT_FALSE(button->Pressed());
    Release(button, inHole);
    EXPECT_EQ(Count("OnClick"), 0);
    EXPECT_EQ(Count("label OnClick"), 0);
}

TEST_F(ImageBtnPointer, DragOffAndBackThenReleaseIsOneClick) {
    Move(button, onShape);
    Press(button, onShape);
    Move(button, outside);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(Count("OnMouseLeave"), 1);
    // The button holds the pointer: the label beneath hears nothing meanwhile.
    EXPECT_EQ(Count("label OnMouseEnter"), 0);
    Move(button, onShape);
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(Count("OnMouseEnter"), 2);
    Release(button, onShape);
    EXPECT_EQ(Count("OnClick"), 1);
}

TEST_F(ImageBtnPointer, DragOffAndReleaseOutsideIsNoClickAndLeavesTheButtonUp) {
    Press(button, onShape);
    const int before = moves->count();
    Move(button, outside);
    Move(button, outside + QPoint(3, 3));
    // Moves keep coming while the press is held, even away from the button.
    ASSERT_EQ(moves->count(), before + 2);
    EXPECT_EQ(moves->last().at(3).toInt(), outside.y() + 3);
    Release(button, outside + QPoint(3, 3));
    EXPECT_EQ(Count("OnClick"), 0);
    EXPECT_EQ(Count("OnMouseUp"), 1);
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(Count("OnMouseLeave"), 1);
    EXPECT_EQ(Count("label OnClick"), 0);
}

TEST_F(ImageBtnPointer, AQuickDoubleClickIsTwoClicks) {
    DoubleClick(button, onShape);
    EXPECT_EQ(Count("OnClick"), 2);
    EXPECT_EQ(Count("OnMouseDown"), 2);
    EXPECT_FALSE(button->Pressed());
}

TEST_F(ImageBtnPointer, OutsideTheShapeThePointerBelongsToTheLabelBeneath) {
    Move(label, {5, 5});
    Move(button, onShape);
    Move(button, inHole);
    EXPECT_EQ(log, (std::vector<std::string>{"label OnMouseEnter", "label OnMouseExit", "OnMouseEnter",
                                             "OnMouseLeave", "label OnMouseEnter"}));
    EXPECT_EQ(QApplication::widgetAt(form->mapToGlobal(At(button, inHole))), label);
    EXPECT_EQ(QApplication::widgetAt(form->mapToGlobal(At(button, onShape))), button);
    Click(button, inHole);
    EXPECT_EQ(Count("label OnClick"), 1);
    EXPECT_EQ(Count("OnClick"), 0);
}

TEST_F(ImageBtnPointer, ADisabledButtonIsDrawnAsBeforeAndPassesThePointerToTheLabel) {
    const QImage enabledLook = button->grab().toImage();
    button->setEnabled(false);
    EXPECT_EQ(button->grab().toImage(), enabledLook);
    const int movesBefore = moves->count();
    Move(button, onShape);
    QSignalSpy labelMoves(label, &TCustomHotLabel::OnMouseMove);
    Move(button, onShape + QPoint(1, 0));
    EXPECT_EQ(labelMoves.count(), 1);
    EXPECT_EQ(QApplication::widgetAt(form->mapToGlobal(At(button, onShape)))->cursor().shape(),
              Qt::PointingHandCursor);
    Click(button, onShape);
    EXPECT_EQ(moves->count(), movesBefore);
    EXPECT_EQ(Count("OnClick"), 0);
    EXPECT_EQ(Count("OnMouseEnter"), 0);
    EXPECT_EQ(Count("label OnClick"), 1);
    EXPECT_EQ(opener.Opened.size(), 1u);
}

TEST_F(ImageBtnPointer, NoClickWhileItsWindowIsNotActive) {
    QWidget other;
    other.setGeometry(300, 300, 50, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(button->IsInside(onShape));
    Click(button, onShape);
    EXPECT_EQ(Count("OnClick"), 0);
}

TEST_F(ImageBtnPointer, NeverTakesTheKeyboardFocus) {
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    Click(button, onShape);
    EXPECT_NE(QApplication::focusWidget(), button);
}

TEST_F(ImageBtnPointer, PressedFaceMovesThePictureOverBlack) {
    const QImage up = button->grab().toImage();
    EXPECT_EQ(up.pixel(4, 4), qRgb(0, 0, 0x80));
    EXPECT_EQ(up.pixel(10, 10), qRgb(0xFF, 0, 0));
    Press(button, onShape);
    const QImage down = button->grab().toImage();
    EXPECT_EQ(down.pixel(6, 6), qRgb(0, 0, 0x80));
    EXPECT_EQ(down.pixel(4, 4), qRgb(0, 0, 0)); // the shape's corner, no longer reached by the picture
    EXPECT_EQ(down.pixel(13, 13), qRgb(0xFF, 0, 0));
    EXPECT_EQ(down.pixel(17, 17), qRgb(0, 0, 0)); // the moved hole
    // The outline does not follow the face while pressed.
    EXPECT_TRUE(button->AppliedShape().contains(QPoint(4, 4)));
    EXPECT_FALSE(button->AppliedShape().contains(QPoint(15, 15)));
    Release(button, onShape);
    EXPECT_EQ(button->grab().toImage(), up);
}

TEST_F(ImageBtnPointer, ResizingRebuildsTheShapeForTheNewSize) {
    const int builds = button->ShapeBuildCount();
    EXPECT_EQ(button->AppliedShape().boundingRect(), QRect(4, 4, 24, 24));
    button->resize(64, 64);
    EXPECT_EQ(button->ShapeBuildCount(), builds + 1);
    EXPECT_EQ(button->AppliedShape().boundingRect(), QRect(8, 8, 48, 48));
    EXPECT_FALSE(button->AppliedShape().contains(QPoint(31, 31)));
    Click(button, {12, 12});
    EXPECT_EQ(Count("OnClick"), 1);
}

TEST_F(ImageBtnPointer, PressedOffsetsAcrossAndDownAreEachTheirOwn) {
    button->setImageDownX(2);
    button->setImageDownY(3);
    Press(button, onShape);
    const QImage down = button->grab().toImage();
    EXPECT_EQ(down.pixel(6, 7), qRgb(0, 0, 0x80));
    EXPECT_NE(down.pixel(7, 6), qRgb(0, 0, 0x80));
    Release(button, onShape);
}

TEST_F(ImageBtnPointer, ANewTransparentColourDiscardsTheOutlineBuiltFromThePicture) {
    ASSERT_FALSE(button->AppliedShape().contains(QPoint(0, 0)));
    const int builds = button->ShapeBuildCount();
    button->setTransparentColor(static_cast<int>(Red));
    EXPECT_EQ(button->ShapeBuildCount(), builds + 1);
    EXPECT_TRUE(button->AppliedShape().contains(QPoint(0, 0)));
    EXPECT_FALSE(button->AppliedShape().contains(QPoint(10, 10)));
    EXPECT_TRUE(button->AppliedShape().contains(QPoint(15, 15)));
}

TEST_F(ImageBtnPointer, ShrunkToNothingItHasNoShapeAndRaisesNothing) {
    for (const QSize size : {QSize(0, 32), QSize(32, 0), QSize(0, 0)}) {
        EXPECT_NO_THROW(button->resize(size)) << size.width() << "x" << size.height();
        EXPECT_TRUE(button->AppliedShape().isEmpty());
        EXPECT_NO_THROW(button->grab());
    }
    button->resize(32, 32);
    EXPECT_EQ(button->AppliedShape().boundingRect(), QRect(4, 4, 24, 24));
}

TEST(ImageBtnShape, StoredShapeOfA32PicturePressedInto30EqualsTheRebuiltOne) {
    const TBitmap24 picture = Disc(32);
    const QByteArray stored = Block(BuildShape(picture, 30, 30, clNone));
    QWidget form;
    auto* button = new TImageBtn(&form);
    button->setGeometry(152, 10, 30, 30);
    button->setImage(picture);
    button->setRegionData(stored);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(button->ShapeBuildCount(), 0);
    EXPECT_EQ(button->AppliedShape().boundingRect(), QRect(0, 0, 30, 30));

    button->resize(31, 31);
    button->resize(30, 30);
    EXPECT_EQ(button->ShapeBuildCount(), 2);
    EXPECT_EQ(button->RegionData(), stored);
}

TEST(ImageBtnShape, NearWhiteCornerLeavesPureWhiteOpaque) {
    TBitmap24 picture = SquareWithHole(NearWhite);
    picture.SetPixel(1, 1, clWhite);
    QWidget form;
    TImageBtn& button = *new TImageBtn(&form);
    button.resize(32, 32);
    button.setImage(picture);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(button.AppliedShape().contains(QPoint(1, 1)));
    EXPECT_FALSE(button.AppliedShape().contains(QPoint(0, 0)));
}

TEST(ImageBtnShape, PicturesAndShapesComeFromFilesAndBadDataIsRejected) {
    QTemporaryDir dir;
    const QString bmpPath = dir.filePath(QStringLiteral("btn.bmp"));
    const QString regionPath = dir.filePath(QStringLiteral("btn.region"));
    const auto bmp = SquareWithHole().SaveToBmp();
    const QByteArray block = Block(TShape{{0, 0, 2, 2}});
    for (const auto& [path, bytes] : {std::pair{bmpPath, QByteArray(reinterpret_cast<const char*>(bmp.data()),
                                                                    static_cast<qsizetype>(bmp.size()))},
                                      std::pair{regionPath, block}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QWidget form;
    TImageBtn& button = *new TImageBtn(&form);
    button.resize(32, 32);
    button.setImageResource(bmpPath);
    button.setRegionResource(regionPath);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(button.Image(), SquareWithHole());
    EXPECT_EQ(button.AppliedShape(), QRegion(0, 0, 2, 2));
    EXPECT_EQ(button.ShapeBuildCount(), 0);

    EXPECT_THROW(button.setImageData(QByteArray("BM not a picture")), EInvalidGraphic);
    EXPECT_THROW(button.setRegionData(QByteArray(5, '\1')), EInvalidGraphic);
    EXPECT_THROW(button.setImageResource(dir.filePath(QStringLiteral("missing.bmp"))), EInOutError);
    EXPECT_EQ(button.Image(), SquareWithHole());
    EXPECT_EQ(button.AppliedShape(), QRegion(0, 0, 2, 2));

    // A new picture discards the stored outline: the next one is built from it.
    button.setImage(Disc(32));
    EXPECT_EQ(button.ShapeBuildCount(), 1);
    EXPECT_EQ(button.AppliedShape().boundingRect(), QRect(0, 0, 32, 32));
}

TEST_F(ImageBtnPointer, ASecondPictureGivesThePressedFaceItsOwnOutline) {
    TBitmap24 down(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            down.SetPixel(x, y, x < 16 ? clWhite : Navy);
        }
    }
    button->setImageDown(down);
    const QRegion up = button->AppliedShape();
    Press(button, {20, 8});
    EXPECT_EQ(button->AppliedShape(), QRegion(16, 0, 16, 32));
    // Drawn in place, without the pressed offset.
    EXPECT_EQ(button->grab().toImage().pixel(16, 0), qRgb(0, 0, 0x80));
    Release(button, {20, 8});
    EXPECT_EQ(Count("OnClick"), 1);
    EXPECT_EQ(button->AppliedShape(), up);
}

TEST(ImageBtnShape, NoTransparencyOrAnEmptyPictureLeavesTheButtonRectangular) {
    QWidget form;
    TImageBtn& button = *new TImageBtn(&form);
    button.resize(32, 32);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(button.AppliedShape().isEmpty());
    EXPECT_TRUE(button.mask().isEmpty());
    EXPECT_EQ(button.grab().toImage().pixelColor(5, 5), button.palette().color(QPalette::Button));

    button.setImage(SquareWithHole());
    EXPECT_FALSE(button.mask().isEmpty());
    button.setTransparentColor(clNoTransparency);
    EXPECT_TRUE(button.mask().isEmpty());
    EXPECT_EQ(button.grab().toImage().pixel(0, 0), qRgb(0xFF, 0xFF, 0xFF));
}

} // namespace
} // namespace brelmont
