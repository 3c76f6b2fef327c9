// SPDX-License-Identifier: MIT
#include "base/testing/RowName.h"
#include "ui/widgets/tests/WidgetsTestSupport.h"

#include <QSignalSpy>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::PointerFixture;

struct PrefixCase {
    std::string name;
    QString url;
    TUrlLabel::TUrlType type;
    QString opened;
};

class UrlPrefix : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(UrlPrefix, IsPutInFrontOnlyWhenTheAddressLacksIt) {
    EXPECT_EQ(TUrlLabel::AddressToOpen(GetParam().url, GetParam().type).toStdString(),
              GetParam().opened.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlPrefix,
    ::testing::Values(
        PrefixCase{"MailAddressWithScheme", "mailto:info@brelmont.ru", TUrlLabel::urlMailTo,
                   "mailto:info@brelmont.ru"},
        PrefixCase{"MailAddressWithout", "info@brelmont.ru", TUrlLabel::urlMailTo, "mailto:info@brelmont.ru"},
        PrefixCase{"SchemeInAnyCase", "hTtP://brelmont.ru", TUrlLabel::urlHTTP, "hTtP://brelmont.ru"},
        PrefixCase{"WebAddressWithout", "www.brelmont.ru", TUrlLabel::urlHTTP, "http://www.brelmont.ru"},
        PrefixCase{"OtherSchemeStillPrefixed", "http://brelmont.ru", TUrlLabel::urlHTTPS,
                   "https://http://brelmont.ru"},
        PrefixCase{"ShorterThanThePrefix", "ftp", TUrlLabel::urlFTP, "ftp://ftp"},
        PrefixCase{"OnlyLatinLettersUpperCased", QString::fromUtf8("ftp:\xC3\xBF/x"), TUrlLabel::urlFTP,
                   QString::fromUtf8("ftp://ftp:\xC3\xBF/x")},
        PrefixCase{"LongestPrefix", "PROSPERO://host", TUrlLabel::urlProspero, "PROSPERO://host"},
        PrefixCase{"NewsWithout", "comp.lang", TUrlLabel::urlNews, "news:comp.lang"},
        PrefixCase{"EmptyOpensNothing", "", TUrlLabel::urlHTTP, ""}),
    testing::RowName());

class UrlLabelClicks : public PointerFixture {
protected:
    void SetUp() override {
        PointerFixture::SetUp();
        label = new TUrlLabel(form.get());
        label->setGeometry(10, 10, 120, 20);
        label->setText(QStringLiteral("site"));
        label->setURL(QStringLiteral("brelmont.ru"));
        QObject::connect(label, &TCustomHotLabel::OnClick, [this] { log.push_back("OnClick"); });
        QObject::connect(label, &TCustomHotLabel::OnDblClick, [this] { log.push_back("OnDblClick"); });
        Show();
    }
    TUrlLabel* label = nullptr;
};

TEST_F(UrlLabelClicks, SingleClickRaisesOnClickThenOpensAndLeavesTheUrlAlone) {
    Click(label, {5, 5});
    EXPECT_EQ(log, (std::vector<std::string>{"OnClick", "open http://brelmont.ru"}));
    EXPECT_EQ(label->URL(), QStringLiteral("brelmont.ru"));
    Click(label, {5, 5});
    EXPECT_EQ(opener.Opened.size(), 2u);
    EXPECT_EQ(label->URL(), QStringLiteral("brelmont.ru"));
}

TEST_F(UrlLabelClicks, EmptyUrlOnlyRaisesOnClick) {
    label->setURL({});
    Click(label, {5, 5});
    EXPECT_EQ(log, (std::vector<std::string>{"OnClick"}));
    EXPECT_FALSE(label->OpenURL());
}

TEST_F(UrlLabelClicks, DoubleClickModeOpensOnceAfterOnDblClick) {
    label->setSingleClick(false);
    Click(label, {5, 5});
    EXPECT_EQ(log, (std::vector<std::string>{"OnClick"}));
    log.clear();
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    DoubleClick(label, {5, 5});
    EXPECT_EQ(log, (std::vector<std::string>{"OnClick", "OnDblClick", "open http://brelmont.ru"}));
}

TEST_F(UrlLabelClicks, ADoubleClickInSingleClickModeOpensOnce) {
    DoubleClick(label, {5, 5});
    EXPECT_EQ(log, (std::vector<std::string>{"OnClick", "open http://brelmont.ru", "OnDblClick"}));
}

TEST_F(UrlLabelClicks, ReleaseOutsideTheLabelIsNoClick) {
    Press(label, {5, 5});
    Move(label, {5, 50});
    Release(label, {5, 50});
    EXPECT_TRUE(log.empty());
}

TEST_F(UrlLabelClicks, AHandlerThatClosesTheWindowStillSeesTheAddressOpened) {
    QObject::connect(label, &TCustomHotLabel::OnClick, form.get(), &QWidget::close);
    Click(label, {5, 5});
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(opener.Opened, (std::vector<QString>{QStringLiteral("http://brelmont.ru")}));
}

TEST_F(UrlLabelClicks, InvisibleHotSpotTakesClicksWithTheHandCursor) {
    label->setText(QString(36, QLatin1Char(' ')));
    label->setTransparent(true);
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    Click(label, {115, 15});
    EXPECT_EQ(opener.Opened.size(), 1u);
}

TEST_F(UrlLabelClicks, EntryAndExitComeOnceEachAndHotTrackingRestoresTheFont) {
    QSignalSpy enter(label, &TCustomHotLabel::OnMouseEnter);
    QSignalSpy exit(label, &TCustomHotLabel::OnMouseExit);
    QSignalSpy moves(label, &TCustomHotLabel::OnMouseMove);
    label->setHotTrack(true);
    label->setHotColor(QColor(Qt::red));
    label->setHotUnderline(false);
    const QColor before = label->palette().color(QPalette::WindowText);
    ASSERT_TRUE(label->font().underline());

    Move(label, {5, 5});
    Move(label, {9, 6});
    EXPECT_EQ(enter.count(), 1);
    EXPECT_TRUE(label->MouseInside());
    EXPECT_EQ(moves.count(), 2);
    EXPECT_EQ(moves.last().at(2).toInt(), 9);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_FALSE(label->font().underline());

    Move(label, {5, 60});
    EXPECT_EQ(exit.count(), 1);
    EXPECT_FALSE(label->MouseInside());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), before);
    EXPECT_TRUE(label->font().underline());
}

TEST_F(UrlLabelClicks, ADisabledLabelStillHearsEntryAndExitButOpensNothing) {
    QSignalSpy enter(label, &TCustomHotLabel::OnMouseEnter);
    QSignalSpy exit(label, &TCustomHotLabel::OnMouseExit);
    label->setEnabled(false);
    Move(label, {5, 5});
    EXPECT_EQ(enter.count(), 1);
    Click(label, {5, 5});
    Move(label, {5, 60});
    EXPECT_EQ(exit.count(), 1);
    EXPECT_TRUE(log.empty());
}

TEST(CustomHotLabel, MeasuresAnEmptyCaptionAsOneSpaceAndAmpersandsByTheAccelSetting) {
    TCustomHotLabel label;
    label.setText(QStringLiteral(" "));
    const QSize space = label.sizeHint();
    label.setText({});
    EXPECT_EQ(label.sizeHint(), space);
    EXPECT_GT(space.height(), 0);
    label.setText(QStringLiteral("&"));
    EXPECT_EQ(label.sizeHint(), space);

    label.setText(QStringLiteral("A&B"));
    const int withAccel = label.sizeHint().width();
    label.setShowAccelChar(false);
    EXPECT_GT(label.sizeHint().width(), withAccel);
}

// Draws the caption into an image and tells whether any pixel has the given colour.
bool Shows(TCustomHotLabel& label, QColor colour) {
    const QImage image = label.grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

TEST(CustomHotLabel, DrawsRaisedLetteringAndGreyTextWhenDisabled) {
    TCustomHotLabel label;
    label.resize(80, 30);
    label.setText(QStringLiteral("WWW"));
    QPalette colours = label.palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::blue);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    colours.setColor(QPalette::Dark, Qt::red);
    colours.setColor(QPalette::Light, Qt::green);
    label.setPalette(colours);
    EXPECT_TRUE(Shows(label, Qt::blue));
    EXPECT_FALSE(Shows(label, Qt::red));

    label.setLabelStyle(TCustomHotLabel::lsRaised);
    EXPECT_TRUE(Shows(label, Qt::red));
    EXPECT_TRUE(Shows(label, Qt::green));

    label.setLabelStyle(TCustomHotLabel::lsNormal);
    label.setEnabled(false);
    EXPECT_TRUE(Shows(label, Qt::gray));
    EXPECT_FALSE(Shows(label, Qt::blue));
}

// The box around the pixels drawn exactly in one colour.
QRect Extent(const QImage& image, QColor colour) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

struct LetteringRow {
    std::string name;
    TCustomHotLabel::TLabelStyle style;
    QColor lowerRight;
    QColor upperLeft;
};

class Lettering : public ::testing::TestWithParam<LetteringRow> {};

// Shadow red, highlight green: raised lettering casts its shadow down and right, sunken lettering its
// highlight.
TEST_P(Lettering, PutsShadowAndHighlightOnTheirSides) {
    TCustomHotLabel label;
    label.resize(80, 30);
    // Upright strokes without smoothing: each copy's visible part is an exact-coloured corner.
    label.setText(QStringLiteral("III"));
    QFont font = label.font();
    font.setStyleStrategy(QFont::NoAntialias);
    label.setFont(font);
    QPalette colours = label.palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::blue);
    colours.setColor(QPalette::Dark, Qt::red);
    colours.setColor(QPalette::Light, Qt::green);
    label.setPalette(colours);
    label.setLabelStyle(GetParam().style);
    const QImage image = label.grab().toImage();
    const QRect lower = Extent(image, GetParam().lowerRight);
    const QRect upper = Extent(image, GetParam().upperLeft);
    ASSERT_FALSE(lower.isEmpty());
    ASSERT_FALSE(upper.isEmpty());
    EXPECT_GT(lower.right(), upper.right());
    EXPECT_GT(lower.bottom(), upper.bottom());
    EXPECT_GT(lower.left(), upper.left());
    EXPECT_GT(lower.top(), upper.top());
}

INSTANTIATE_TEST_SUITE_P(
    Styles, Lettering,
    ::testing::Values(LetteringRow{"Raised", TCustomHotLabel::lsRaised, Qt::red, Qt::green},
                      LetteringRow{"Sunken", TCustomHotLabel::lsSunken, Qt::green, Qt::red}),
    testing::RowName{});

TEST(UrlLabelColours, ADisabledLinkIsDrawnInTheSystemsGreyTextNotInItsLinkColour) {
    TUrlLabel label;
    label.resize(80, 30);
    label.setText(QStringLiteral("WWW"));
    const QColor link = label.palette().color(QPalette::Active, QPalette::WindowText);
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    ASSERT_NE(link, grey);
    EXPECT_TRUE(Shows(label, link));

    label.setEnabled(false);
    EXPECT_TRUE(Shows(label, grey));
    EXPECT_FALSE(Shows(label, link));

    label.setFontColor(Qt::darkGreen);
    EXPECT_TRUE(Shows(label, grey));
    label.setEnabled(true);
    EXPECT_TRUE(Shows(label, Qt::darkGreen));
}

} // namespace
} // namespace brelmont
