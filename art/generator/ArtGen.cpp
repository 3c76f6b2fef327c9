// SPDX-License-Identifier: MIT
// Draws every picture the windows show: the two banners, the toolbar coins, the program icon and the six
// toolbar button faces, and all but the icon once more at twice the size for scaled screens. Run it with the
// output folder as its only argument; the files it writes there are committed, so the program never depends
// on this tool at build time.
//
// The button faces are cut out of their background by the image button's shape rule (exact colour match),
// so they are drawn anti-aliased inside a hard pixel mask: every pixel is either fully the transparent colour
// or fully opaque, and no opaque pixel happens to equal the transparent colour.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const QColor kGold(0xE8, 0xC7, 0x66);
const QColor kGoldDark(0xB0, 0x8A, 0x2E);
const QColor kGreenDeep(0x0B, 0x3D, 0x2E);
const QColor kGreen(0x16, 0x5E, 0x45);
const QColor kCream(0xFF, 0xFB, 0xF0);
const QColor kToolbar(0xF1, 0xF5, 0xEF);
const QColor kAboutGrey(0xDB, 0xDB, 0xDB);

bool Save(const QImage& image, const QString& path, const char* format, int quality = -1) {
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QFont Font(const QString& family, int pixels, bool bold, bool italic = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// A coin seen slightly from above: used on the banners, the icon and the toolbar stack.
void DrawCoin(QPainter& p, QPointF centre, qreal rx, qreal ry, qreal thickness) {
    p.setPen(QPen(kGoldDark.darker(130), 1.0));
    p.setBrush(kGoldDark);
    p.drawRoundedRect(QRectF(centre.x() - rx, centre.y() - ry / 2, 2 * rx, thickness + ry), rx, ry / 2);
    QRadialGradient face(centre - QPointF(rx / 3, ry / 3), rx * 1.4);
    face.setColorAt(0, kGold.lighter(125));
    face.setColorAt(1, kGold.darker(110));
    p.setBrush(face);
    p.drawEllipse(centre, rx, ry);
}

void DrawBannerBackground(QPainter& p, int width, int height) {
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, kGreenDeep);
    sky.setColorAt(1, kGreen);
    p.fillRect(0, 0, width, height, sky);
    // A faint ledger grid: this is a calculator for money.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    for (int x = 8; x < width; x += 16) {
        p.drawLine(x, 0, x, height);
    }
    for (int y = 8; y < height; y += 16) {
        p.drawLine(0, y, width, y);
    }
    p.setPen(QPen(kGold, 2));
    p.drawLine(0, height - 1, width, height - 1);
}

// A rising stake curve with bars under it, drawn into the right part of a banner.
void DrawChart(QPainter& p, QRectF area) {
    const int bars = 7;
    const qreal step = area.width() / bars;
    for (int i = 0; i < bars; ++i) {
        const qreal h = area.height() * (0.25 + 0.1 * i + (i % 2) * 0.06);
        QRectF bar(area.left() + i * step + step * 0.2, area.bottom() - h, step * 0.6, h);
        p.fillRect(bar, QColor(232, 199, 102, 70 + 14 * i));
    }
    QPainterPath curve;
    curve.moveTo(area.left(), area.bottom() - area.height() * 0.2);
    curve.cubicTo(area.left() + area.width() * 0.45, area.bottom() - area.height() * 0.25,
                  area.left() + area.width() * 0.6, area.top() + area.height() * 0.35, area.right() - 4,
                  area.top() + 4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCream, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    QPolygonF head;
    head << QPointF(area.right(), area.top()) << QPointF(area.right() - 10, area.top() + 2)
         << QPointF(area.right() - 3, area.top() + 9);
    p.setBrush(kCream);
    p.setPen(Qt::NoPen);
    p.drawPolygon(head);
}

void DrawWordmark(QPainter& p, QPointF origin, int pixels) {
    const QFont font = Font("Liberation Serif", pixels, true);
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(origin + QPointF(2, 2), "Brelmont");
    p.setPen(kGold);
    p.drawText(origin, "Brelmont");
}

// Both banners share the coin stack, the word mark and the rising chart; only their width, subtitle and
// chart place differ.
QImage Banner(int width, const char* subtitle, const QRectF& chart, int scale) {
    QImage image(width * scale, 73 * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    DrawBannerBackground(p, width, 73);
    DrawCoin(p, QPointF(34, 40), 20, 9, 6);
    DrawCoin(p, QPointF(34, 31), 20, 9, 6);
    DrawCoin(p, QPointF(34, 22), 20, 9, 6);
    p.setPen(kGreenDeep);
    p.setFont(Font("Liberation Sans", 11, true));
    p.drawText(QRectF(14, 13, 40, 18), Qt::AlignCenter, "%");
    DrawWordmark(p, QPointF(68, 45), 42);
    p.setFont(Font("Liberation Sans", 13, false));
    p.setPen(kCream);
    p.drawText(QPointF(72, 63), QString::fromUtf8(subtitle));
    DrawChart(p, chart);
    return image;
}

QImage MainBanner(int scale) {
    return Banner(584, "Калькулятор ставок по критерию Келли", QRectF(400, 10, 170, 54), scale);
}

QImage AboutBanner(int scale) {
    return Banner(428, "Версия 1.0 · критерий Келли", QRectF(300, 12, 112, 50), scale);
}

QImage ToolbarCoins(int scale) {
    QImage image(17 * scale, 33 * scale, QImage::Format_RGB32);
    image.fill(kToolbar);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    for (int i = 0; i < 5; ++i) {
        DrawCoin(p, QPointF(8.5, 28.0 - 5.0 * i), 7.5, 3.2, 2.5);
    }
    return image;
}

// The program icon; `background` fills the corners (transparent for the desktop icon).
QImage Icon(QColor background) {
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient tile(0, 0, 48, 48);
    tile.setColorAt(0, kGreen);
    tile.setColorAt(1, kGreenDeep);
    p.setPen(QPen(kGold, 1.5));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 46, 46), 9, 9);
    DrawChart(p, QRectF(6, 24, 36, 18));
    p.setFont(Font("Liberation Serif", 30, true));
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRectF(2, 1, 46, 34), Qt::AlignCenter, "B");
    p.setPen(kGold);
    p.drawText(QRectF(0, -1, 46, 34), Qt::AlignCenter, "B");
    return image;
}

// The sizes the desktop icon is installed at in the icon theme.
constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The desktop icon for one theme size, drawn from the scalable icons beside the rendered folder: below 32
// pixels the chart would be a smudge, so the small design has the letter alone and a thicker rim.
QImage DesktopIcon(const QDir& art, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QSvgRenderer svg(art.filePath(size >= 32 ? "brelmont.svg" : "brelmont-small.svg"));
    if (!svg.isValid()) {
        return {};
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    svg.render(&p, QRectF(0, 0, size, size));
    return image;
}

struct ButtonFace {
    const char* file;
    int width;
    int height;
    int shownWidth; // the button stretches the picture to its own size
    int shownHeight;
    QColor transparent;
    QColor disc;
    void (*symbol)(QPainter&); // drawn around 0,0 in a 30-pixel disc, as the button shows it
    qreal lower;               // shown pixels the disc sits below the picture's middle, to line up the row
};

QColor Nudge(QColor c) {
    return QColor(c.red() == 255 ? 254 : c.red() + 1, c.green(), c.blue());
}

// The disc's radius in shown pixels: the outline keeps every pixel whose centre lies inside it.
constexpr qreal kDiscRadius = 14.5;

// The disc and its symbol, in the button's shown units around its centre, on `pixels` pixels of which
// `perUnitX` and `perUnitY` make one shown unit. The disc, of `radius` units with a dark rim along its
// edge, is drawn smooth over the toolbar's colour: the outline can only keep a pixel or cut it, so the edge
// pixels it keeps carry the blend with the toolbar that a soft edge would show there.
QImage DiscArt(const ButtonFace& face, QSize pixels, qreal perUnitX, qreal perUnitY, qreal radius) {
    QImage art(pixels, QImage::Format_RGB32);
    art.fill(kToolbar);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(pixels.width() / 2.0, pixels.height() / 2.0 + face.lower * perUnitY);
    p.scale(perUnitX, perUnitY);
    QRadialGradient shade(QPointF(-5, -6), radius * 1.6);
    shade.setColorAt(0, face.disc.lighter(150));
    shade.setColorAt(0.55, face.disc);
    shade.setColorAt(1, face.disc.darker(140));
    const qreal rimWidth = 1.2;
    p.setPen(QPen(face.disc.darker(170), rimWidth));
    p.setBrush(shade);
    p.drawEllipse(QPointF(0, 0), radius - rimWidth / 2, radius - rimWidth / 2);
    p.setPen(Qt::NoPen);
    QPainterPath gloss;
    gloss.addEllipse(QPointF(0, -6), radius - 4, radius / 2 - 1);
    p.setBrush(QColor(255, 255, 255, 45));
    p.drawPath(gloss);
    p.translate(0.8, 0.8);
    p.setOpacity(0.35);
    face.symbol(p);
    p.translate(-0.8, -0.8);
    p.setOpacity(1);
    face.symbol(p);
    return art;
}

// An opaque pixel of the art, never mistaken for the transparent colour.
QColor OpaquePixel(const QImage& art, int x, int y, const QColor& transparent) {
    QColor c = art.pixelColor(x, y);
    return c.rgb() == transparent.rgb() ? Nudge(c) : c;
}

// The source pixel that the button's stretch shows at shown pixel `shown`: the one under its centre.
int Sampled(int shown, int sourceSize, int shownSize) {
    return static_cast<int>((shown + 0.5) * sourceSize / shownSize);
}

// The picture is drawn as the button shows it, pixel for pixel, and each shown pixel is put where the
// button's stretch will take it from; the source pixels the stretch skips copy their nearest shown one. A
// smooth edge drawn straight into a picture that is then stretched loses its blended pixels with the
// skipped rows and columns, and the disc shows steps.
QImage Button(const ButtonFace& face) {
    const QImage art = DiscArt(face, QSize(face.shownWidth, face.shownHeight), 1, 1, kDiscRadius);
    const QPointF centre(face.shownWidth / 2.0, face.shownHeight / 2.0 + face.lower);
    // The outline is decided per shown pixel centre, with no partial coverage.
    const auto shownPixel = [&](int x, int y) {
        const qreal dx = x + 0.5 - centre.x();
        const qreal dy = y + 0.5 - centre.y();
        return dx * dx + dy * dy <= kDiscRadius * kDiscRadius ? OpaquePixel(art, x, y, face.transparent)
                                                              : face.transparent;
    };
    QImage out(face.width, face.height, QImage::Format_RGB888);
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            out.setPixelColor(x, y,
                              shownPixel(Sampled(x, face.shownWidth, face.width),
                                         Sampled(y, face.shownHeight, face.height)));
        }
    }
    for (int y = 0; y < face.shownHeight; ++y) {
        for (int x = 0; x < face.shownWidth; ++x) {
            out.setPixelColor(Sampled(x, face.width, face.shownWidth),
                              Sampled(y, face.height, face.shownHeight), shownPixel(x, y));
        }
    }
    return out;
}

// The face for screens at twice the pixel density: drawn at twice the size the button is shown at, so it is
// shown unstretched. Its outline is the shown outline of the 1x picture with every pixel doubled, since the
// button keeps that shape on every screen; inside it the disc and symbol have all the finer pixels. The
// disc is drawn a little smaller than the 1x outline's, just inside every doubled pixel of it (a pixel whose
// centre is inside the circle covers all points within half a diagonal of that centre), so its edge is the
// smooth one drawn here and never the steps of the doubled outline.
QImage Button2x(const ButtonFace& face, const QImage& picture1x) {
    const int width = face.shownWidth * 2;
    const int height = face.shownHeight * 2;
    const QImage art = DiscArt(face, QSize(width, height), 2, 2, kDiscRadius - std::sqrt(0.5));
    QImage out(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        // The button's stretch of the 1x picture: each shown pixel takes the source pixel under its centre.
        const int sourceY = Sampled(y / 2, face.height, face.shownHeight);
        for (int x = 0; x < width; ++x) {
            const int sourceX = Sampled(x / 2, face.width, face.shownWidth);
            const bool opaque = picture1x.pixelColor(sourceX, sourceY).rgb() != face.transparent.rgb();
            out.setPixelColor(x, y, opaque ? OpaquePixel(art, x, y, face.transparent) : face.transparent);
        }
    }
    return out;
}

void WhiteStroke(QPainter& p, qreal width) {
    p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void Glyph(QPainter& p, const QString& text, const QFont& font, QPointF offset = {}) {
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(-15 + offset.x(), -15 + offset.y(), 30, 30), Qt::AlignCenter, text);
}

void PlaySymbol(QPainter& p) {
    QPolygonF play;
    play << QPointF(-4, -7.5) << QPointF(8, 0) << QPointF(-4, 7.5);
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(play);
}

// An eraser over a wiped line.
void EraserSymbol(QPainter& p) {
    p.save();
    p.rotate(-35);
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-9, -5, 10, 10), 1.5, 1.5);
    p.setBrush(QColor(0xF6, 0xC8, 0xD0));
    p.drawRoundedRect(QRectF(1, -5, 8, 10), 1.5, 1.5);
    p.restore();
    WhiteStroke(p, 1.6);
    p.drawLine(QPointF(-9, 9), QPointF(9, 9));
}

void QuestionSymbol(QPainter& p) {
    Glyph(p, "?", Font("Liberation Sans", 22, true), QPointF(0, 0.5));
}

void GlobeSymbol(QPainter& p) {
    WhiteStroke(p, 1.5);
    p.drawEllipse(QPointF(0, 0), 9, 9);
    p.drawEllipse(QPointF(0, 0), 4, 9);
    p.drawLine(QPointF(0, -9), QPointF(0, 9));
    p.drawLine(QPointF(-9, 0), QPointF(9, 0));
    p.drawLine(QPointF(-7.8, -4.5), QPointF(7.8, -4.5));
    p.drawLine(QPointF(-7.8, 4.5), QPointF(7.8, 4.5));
}

void InfoSymbol(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, -7), 2.4, 2.4);
    p.drawRoundedRect(QRectF(-2.2, -2.5, 4.4, 11.5), 1, 1);
    p.drawRect(QRectF(-4.5, 7, 9, 2));
}

void PowerSymbol(QPainter& p) {
    WhiteStroke(p, 2.4);
    p.drawArc(QRectF(-8, -7, 16, 16), 55 * 16, -290 * 16);
    p.drawLine(QPointF(0, -10), QPointF(0, -1));
}

const QColor kWhite(255, 255, 255);
// The Help button's design names this near-white as its transparent colour.
const QColor kNearWhite(254, 252, 252);

// The discs' centres line up 24 pixels below the toolbar's top, where the 32-pixel buttons standing at 8 have
// theirs: the site button stands at 8 and the exit button at 5 with 35-pixel pictures, so their discs sit
// off the middle. The start button's 30-pixel disc fills its picture and stays one pixel lower.
const ButtonFace kButtonFaces[] = {
    {"btn-start.bmp", 32, 32, 30, 30, kWhite, QColor(0x2E, 0x9E, 0x4F), PlaySymbol, 0},
    {"btn-clear.bmp", 32, 34, 34, 32, kWhite, QColor(0xE0, 0x8A, 0x1E), EraserSymbol, 0},
    {"btn-help.bmp", 32, 32, 32, 32, kNearWhite, QColor(0x25, 0x6F, 0xC8), QuestionSymbol, 0},
    {"btn-site.bmp", 32, 35, 32, 35, kWhite, QColor(0x13, 0x8D, 0x90), GlobeSymbol, -1.5},
    {"btn-about.bmp", 32, 32, 32, 32, kWhite, QColor(0x4A, 0x4F, 0xB8), InfoSymbol, 0},
    {"btn-exit.bmp", 32, 35, 32, 35, kWhite, QColor(0xC8, 0x32, 0x2E), PowerSymbol, 1.5},
};

// Every picture the windows show at 1x has a twice-as-large companion, "@2x" before its extension, for
// screens scaled to 150 % and more.
QString At2x(const QString& file) {
    QString sharp = file;
    sharp.insert(sharp.lastIndexOf(u'.'), QStringLiteral("@2x"));
    return sharp;
}

bool SaveBanners(const QDir& out) {
    bool ok = true;
    for (int scale : {1, 2}) {
        const auto name = [scale](const char* file) {
            return scale == 1 ? QString::fromLatin1(file) : At2x(QString::fromLatin1(file));
        };
        ok = Save(MainBanner(scale), out.filePath(name("banner-main.jpg")), "jpg", 92) && ok;
        ok = Save(AboutBanner(scale), out.filePath(name("banner-about.jpg")), "jpg", 92) && ok;
        ok = Save(ToolbarCoins(scale), out.filePath(name("toolbar-coins.jpg")), "jpg", 95) && ok;
    }
    return ok;
}

// The About window's icon on its grey, and the window icon with a transparent background.
bool SaveWindowIcons(const QDir& out) {
    bool ok =
        Save(Icon(kAboutGrey).convertToFormat(QImage::Format_RGB32), out.filePath("icon-48.jpg"), "jpg", 95);
    ok = Save(Icon(Qt::transparent), out.filePath("brelmont.png"), "png") && ok;
    return ok;
}

bool SaveButtonFaces(const QDir& out) {
    bool ok = true;
    for (const ButtonFace& face : kButtonFaces) {
        const QImage picture = Button(face);
        ok = Save(picture, out.filePath(face.file), "bmp") && ok;
        ok = Save(Button2x(face, picture), out.filePath(At2x(QString::fromLatin1(face.file))), "bmp") && ok;
    }
    return ok;
}

bool SaveDesktopIcons(const QDir& out) {
    bool ok = QDir().mkpath(out.filePath("icons"));
    for (const int size : kDesktopIconSizes) {
        ok = Save(DesktopIcon(QDir(out.filePath("..")), size),
                  out.filePath(QStringLiteral("icons/brelmont-%1.png").arg(size)), "png") &&
             ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: brelmont_artgen OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "artgen: cannot create %s\n", argv[1]);
        return 1;
    }
    // A picture that cannot be written does not stop the others.
    bool ok = SaveBanners(out);
    ok = SaveWindowIcons(out) && ok;
    ok = SaveButtonFaces(out) && ok;
    ok = SaveDesktopIcons(out) && ok;
    return ok ? 0 : 1;
}
