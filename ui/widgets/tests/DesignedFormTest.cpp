// SPDX-License-Identifier: MIT
// A window design that uses both controls the way the program's windows do, built by uic.
#include "ui/widgets/tests/WidgetsTestSupport.h"
#include "ui_DesignedForm.h"

#include <QFile>

namespace brelmont {
namespace {

QByteArray Resource(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(DesignedForm, SetsThePropertiesItListsAndKeepsTheDefaultsOfTheOthers) {
    QWidget form;
    Ui::DesignedForm design;
    design.setupUi(&form);
    EXPECT_EQ(design.UrlLabel1->URLType(), TUrlLabel::urlMailTo);
    EXPECT_TRUE(design.UrlLabel1->SingleClick());
    EXPECT_TRUE(design.UrlLabel1->Transparent());
    EXPECT_EQ(design.UrlLabel1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(TUrlLabel::AddressToOpen(design.UrlLabel1->URL(), design.UrlLabel1->URLType()),
              QStringLiteral("mailto:info@brelmont.ru"));
    EXPECT_EQ(design.Btn1->ImageDownX(), 2);
    EXPECT_EQ(design.Btn1->ImageDownY(), 3);
    EXPECT_EQ(design.Btn1->TransparentColor(), clNone);
    EXPECT_EQ(design.Btn1->ImageData(), Resource(QStringLiteral(":/widgets-test/start32.bmp")));
}

TEST(DesignedForm, StoredShapeOfA32PictureIn30ButtonIsUsedAndEqualsTheRebuiltOne) {
    QWidget form;
    Ui::DesignedForm design;
    design.setupUi(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QByteArray stored = Resource(QStringLiteral(":/widgets-test/start30.region"));
    EXPECT_EQ(design.Btn1->ShapeBuildCount(), 0);
    EXPECT_EQ(design.Btn1->AppliedShape().boundingRect(), QRect(0, 0, 30, 30));
    EXPECT_EQ(design.Btn1->RegionData(), stored);

    design.Btn1->resize(32, 32);
    design.Btn1->resize(30, 30);
    EXPECT_EQ(design.Btn1->ShapeBuildCount(), 2);
    EXPECT_EQ(design.Btn1->RegionData(), stored);
}

} // namespace
} // namespace brelmont
