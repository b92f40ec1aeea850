// Draws the toolbar's picture-button bitmaps: for each button a normal, a
// hover and (all but one) a pressed state, 24 x 24 pixels (and 48 x 48 as NAME@2x), written as BMP
// files under the names the window loads. Run: quorvane_iconrender OUTDIR
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int Size = 24;

enum class State { Normal, Hover, Pressed };

using Glyph = std::function<void(QPainter &, const QColor &accent)>;

QPen outline(const QColor &c, qreal width = 1.2)
{
    return QPen(c.darker(170), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void arrow(QPainter &p, const QColor &c, bool right)
{
    QPolygonF shape{{4, 12}, {12, 4}, {12, 8.5}, {20, 8.5}, {20, 15.5}, {12, 15.5}, {12, 20}};
    if (right) {
        for (QPointF &pt : shape)
            pt.setX(24 - pt.x());
    }
    p.setPen(outline(c));
    p.setBrush(c);
    p.drawPolygon(shape);
}

void chevrons(QPainter &p, const QColor &c, bool right)
{
    p.setPen(QPen(c, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (qreal x : {6.0, 12.0}) {
        const qreal tip = right ? x + 6 : x;
        const qreal base = right ? x : x + 6;
        p.drawPolyline(QPolygonF{{base, 6}, {tip, 12}, {base, 18}});
    }
}

void house(QPainter &p, const QColor &c, qreal scale = 1.0, QPointF at = {0, 0})
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(outline(QColor(150, 60, 40)));
    p.setBrush(QColor(200, 70, 50));
    p.drawPolygon(QPolygonF{{2.5, 12}, {12, 3}, {21.5, 12}});
    p.setPen(outline(c));
    p.setBrush(c);
    p.drawRect(QRectF(5.5, 12, 13, 9));
    p.setBrush(QColor(250, 240, 210));
    p.drawRect(QRectF(10, 15, 4, 6));
    p.restore();
}

const QList<QPair<QString, Glyph>> &glyphs()
{
    static const QList<QPair<QString, Glyph>> list = {
        {"back", [](QPainter &p, const QColor &c) { arrow(p, c, false); }},
        {"forward", [](QPainter &p, const QColor &c) { arrow(p, c, true); }},
        {"stop", [](QPainter &p, const QColor &c) {
             QPolygonF octagon;
             for (int i = 0; i < 8; ++i) {
                 const qreal a = (22.5 + 45 * i) * M_PI / 180;
                 octagon << QPointF(12 + 9.5 * std::cos(a), 12 + 9.5 * std::sin(a));
             }
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawPolygon(octagon);
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawRoundedRect(QRectF(6.5, 10.5, 11, 3), 1, 1);
         }},
        {"home", [](QPainter &p, const QColor &c) { house(p, c); }},
        {"refresh", [](QPainter &p, const QColor &c) {
             p.setPen(QPen(c, 3, Qt::SolidLine, Qt::FlatCap));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(5, 5, 14, 14), 60 * 16, 290 * 16);
             p.setPen(outline(c, 1));
             p.setBrush(c);
             p.drawPolygon(QPolygonF{{13, 1.5}, {19.5, 5.5}, {13, 9.5}});
         }},
        {"search", [](QPainter &p, const QColor &c) {
             p.setPen(QPen(QColor(90, 70, 50), 3.4, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
             p.setPen(QPen(c.darker(150), 2));
             p.setBrush(QColor(220, 238, 255));
             p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
         }},
        {"favorites", [](QPainter &p, const QColor &c) {
             QPolygonF star;
             for (int i = 0; i < 10; ++i) {
                 const qreal r = i % 2 ? 4.2 : 10;
                 const qreal a = (-90 + 36 * i) * M_PI / 180;
                 star << QPointF(12 + r * std::cos(a), 12.8 + r * std::sin(a));
             }
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawPolygon(star);
         }},
        {"history", [](QPainter &p, const QColor &c) {
             p.setPen(outline(c, 1.6));
             p.setBrush(QColor(255, 255, 250));
             p.drawEllipse(QPointF(12, 12), 9, 9);
             p.setPen(QPen(c.darker(160), 2, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 12), QPointF(12, 6.5));
             p.drawLine(QPointF(12, 12), QPointF(16, 14));
         }},
        {"chann", [](QPainter &p, const QColor &c) {
             p.setPen(QPen(QColor(70, 70, 70), 1.3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 8), QPointF(7, 2.5));
             p.drawLine(QPointF(12, 8), QPointF(17, 2.5));
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawRoundedRect(QRectF(2.5, 8, 19, 13), 2, 2);
             p.setBrush(QColor(210, 235, 255));
             p.drawRect(QRectF(5, 10.5, 11.5, 8));
             p.setBrush(QColor(255, 220, 80));
             p.drawEllipse(QPointF(19, 12.5), 1.2, 1.2);
             p.drawEllipse(QPointF(19, 16.5), 1.2, 1.2);
         }},
        {"private", [](QPainter &p, const QColor &c) {
             p.setPen(QPen(QColor(110, 110, 120), 2.4));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(7, 3, 10, 12), 0, 180 * 16);
             p.drawLine(QPointF(7, 9), QPointF(7, 11));
             p.drawLine(QPointF(17, 9), QPointF(17, 11));
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawRoundedRect(QRectF(4.5, 10.5, 15, 11), 1.5, 1.5);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(60, 40, 10));
             p.drawEllipse(QPointF(12, 15), 1.7, 1.7);
             p.drawRect(QRectF(11.3, 15, 1.4, 4));
         }},
        {"collect", [](QPainter &p, const QColor &c) {
             p.setPen(outline(QColor(120, 120, 120)));
             p.setBrush(QColor(180, 220, 250));
             p.drawRect(QRectF(2.5, 4.5, 19, 15));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 200, 40));
             p.drawEllipse(QPointF(16.5, 8.8), 2.2, 2.2);
             p.setBrush(c);
             p.drawPolygon(QPolygonF{{3, 19}, {9, 10}, {13.5, 15.5}, {16, 13}, {21, 19}});
         }},
        {"outlook", [](QPainter &p, const QColor &c) {
             p.setPen(outline(c));
             p.setBrush(QColor(255, 252, 240));
             p.drawRect(QRectF(2.5, 6, 19, 13));
             p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF{{3, 6.5}, {12, 13.5}, {21, 6.5}});
         }},
        {"book", [](QPainter &p, const QColor &c) {
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawRoundedRect(QRectF(4.5, 2.5, 15, 19), 1.5, 1.5);
             p.setBrush(QColor(250, 250, 250));
             p.drawRect(QRectF(17.5, 4, 2.5, 16));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 235, 200));
             p.drawEllipse(QPointF(11.5, 9.5), 2.8, 2.8);
             p.drawChord(QRectF(6.5, 12.5, 10, 9), 0, 180 * 16);
         }},
        {"calk", [](QPainter &p, const QColor &c) {
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawRoundedRect(QRectF(4.5, 2.5, 15, 19), 2, 2);
             p.setBrush(QColor(200, 240, 200));
             p.drawRect(QRectF(6.5, 4.5, 11, 4));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(250, 250, 250));
             for (int row = 0; row < 3; ++row) {
                 for (int col = 0; col < 3; ++col)
                     p.drawRect(QRectF(6.5 + col * 4, 10.5 + row * 3.6, 2.8, 2.4));
             }
         }},
        {"switch", [](QPainter &p, const QColor &c) {
             p.setPen(outline(QColor(110, 110, 110)));
             p.setBrush(QColor(255, 255, 255));
             p.drawRect(QRectF(2.5, 3.5, 11, 9));
             p.setBrush(QColor(220, 230, 245));
             p.drawRect(QRectF(10.5, 11.5, 11, 9));
             p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF{{16, 3.5}, {19, 3.5}, {19, 8.5}});
             p.drawPolyline(QPolygonF{{17, 6.5}, {19, 8.8}, {21, 6.5}});
             p.drawPolyline(QPolygonF{{8, 20.5}, {5, 20.5}, {5, 15.5}});
             p.drawPolyline(QPolygonF{{3, 17.5}, {5, 15.2}, {7, 17.5}});
         }},
        {"nexthome", [](QPainter &p, const QColor &c) {
             house(p, QColor(70, 120, 200), 0.72, {0, 2});
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawPolygon(QPolygonF{{14, 13}, {18, 13}, {18, 9.5}, {23, 16}, {18, 22.5}, {18, 19}, {14, 19}});
         }},
        {"get", [](QPainter &p, const QColor &c) {
             p.setPen(outline(QColor(110, 110, 110)));
             p.setBrush(QColor(235, 235, 235));
             p.drawPolygon(QPolygonF{{2.5, 14}, {7, 14}, {7, 18}, {17, 18}, {17, 14}, {21.5, 14}, {21.5, 21.5}, {2.5, 21.5}});
             p.setPen(outline(c));
             p.setBrush(c);
             p.drawPolygon(QPolygonF{{9.5, 2.5}, {14.5, 2.5}, {14.5, 9}, {18, 9}, {12, 16}, {6, 9}, {9.5, 9}});
         }},
        {"navright", [](QPainter &p, const QColor &c) { chevrons(p, c, false); }},
        {"navleft", [](QPainter &p, const QColor &c) { chevrons(p, c, true); }},
        {"dellink", [](QPainter &p, const QColor &c) {
             p.setPen(QPen(QColor(120, 120, 120), 1.6, Qt::SolidLine, Qt::RoundCap));
             for (qreal y : {5.0, 9.0, 13.0, 17.0})
                 p.drawLine(QPointF(3, y), QPointF(15, y));
             p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 11), QPointF(20.5, 19.5));
             p.drawLine(QPointF(20.5, 11), QPointF(12, 19.5));
         }},
    };
    return list;
}

// Each glyph's colour; hover brightens it, pressed keeps it.
QColor accentOf(const QString &glyph)
{
    static const QHash<QString, QColor> colours = {
        {"back", QColor(40, 150, 70)},     {"forward", QColor(40, 150, 70)},  {"stop", QColor(205, 45, 40)},
        {"home", QColor(60, 110, 190)},    {"refresh", QColor(35, 140, 190)}, {"search", QColor(60, 110, 190)},
        {"favorites", QColor(240, 185, 20)}, {"history", QColor(120, 90, 60)}, {"chann", QColor(90, 90, 110)},
        {"private", QColor(205, 160, 40)}, {"collect", QColor(60, 150, 70)},  {"outlook", QColor(50, 100, 180)},
        {"book", QColor(150, 80, 50)},     {"calk", QColor(80, 90, 110)},     {"switch", QColor(40, 120, 200)},
        {"nexthome", QColor(40, 150, 70)}, {"get", QColor(40, 120, 200)},     {"navright", QColor(40, 100, 190)},
        {"navleft", QColor(40, 100, 190)}, {"dellink", QColor(205, 45, 40)},
    };
    return colours.value(glyph, QColor(80, 80, 80));
}

// scale 2 draws the same picture on 48 x 48 pixels for screens of twice the density.
QImage render(const QString &glyph, State state, int scale)
{
    QImage image(Size * scale, Size * scale, QImage::Format_RGB32);
    const QColor face = state == State::Normal ? QColor(239, 239, 239)
                      : state == State::Hover  ? QColor(248, 250, 255)
                                               : QColor(196, 204, 216);
    image.fill(face);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    // Hover is raised, pressed is sunken; normal is flat.
    if (state != State::Normal) {
        const QColor light = state == State::Hover ? QColor(255, 255, 255) : QColor(120, 128, 140);
        const QColor dark = state == State::Hover ? QColor(120, 128, 140) : QColor(255, 255, 255);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(light);
        p.drawLine(0, 0, Size - 1, 0);
        p.drawLine(0, 0, 0, Size - 1);
        p.setPen(dark);
        p.drawLine(Size - 1, 0, Size - 1, Size - 1);
        p.drawLine(0, Size - 1, Size - 1, Size - 1);
        p.setRenderHint(QPainter::Antialiasing);
    }

    QColor accent = accentOf(glyph);
    if (state == State::Hover)
        accent = accent.lighter(125);
    p.save();
    // Drawn a little smaller than the cell so the bevel stays clear; pressed moves down-right.
    const qreal shift = state == State::Pressed ? 1.0 : 0.0;
    p.translate(1.5 + shift, 1.5 + shift);
    p.scale(21.0 / 24.0, 21.0 / 24.0);
    for (const auto &[name, draw] : glyphs()) {
        if (name == glyph)
            draw(p, accent);
    }
    p.restore();
    p.end();
    if (state == State::Normal) {
        // The resting look is slightly muted, so hover stands out.
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QColor c(line[x]);
                const int grey = qGray(line[x]);
                line[x] = qRgb((c.red() * 4 + grey) / 5, (c.green() * 4 + grey) / 5, (c.blue() * 4 + grey) / 5);
            }
        }
    }
    return image;
}

struct Files {
    const char *glyph;
    const char *normal;
    const char *hover;
    const char *pressed;  // null: the button has no pressed image
};

// The window's file names: they follow no single pattern.
constexpr Files files[] = {
    {"back", "back1.bmp", "back1_up.bmp", "back1_down.bmp"},
    {"forward", "forward1.bmp", "forward1_on.bmp", "forward1_down.bmp"},
    {"stop", "stop1.bmp", "stop1_on.bmp", "stop1_down.bmp"},
    {"home", "home1.bmp", "home1_on.bmp", "home1_down.bmp"},
    {"refresh", "refresh1.bmp", "refresh1_on.bmp", "refresh1_down.bmp"},
    {"search", "search1.bmp", "search1_on.bmp", "search1_down.bmp"},
    {"favorites", "favorites.bmp", "favorites1_on.bmp", "favorites1_down.bmp"},
    {"history", "history1.bmp", "history1_on.bmp", "history1_down.bmp"},
    {"chann", "chann_norm.bmp", "chann_on.bmp", "chann_down.bmp"},
    {"private", "private1.bmp", "private1_on.bmp", "private1_down.bmp"},
    {"collect", "collect1.bmp", "collect1_on.bmp", "collect1_down.bmp"},
    {"outlook", "outlook.bmp", "outlook_on.bmp", "outlook_down.bmp"},
    {"book", "book.bmp", "book_on.bmp", "book_down.bmp"},
    {"calk", "calk.bmp", "calk_on.bmp", "calk_down.bmp"},
    {"switch", "switch.bmp", "switch_on.bmp", "switch_down.bmp"},
    {"nexthome", "nexthome.bmp", "nexthome_on.bmp", nullptr},
    {"get", "get.bmp", "get_on.bmp", "get_down.bmp"},
    {"navright", "navright.bmp", "navright_on.bmp", "navright_down.bmp"},
    {"navleft", "navleft.bmp", "navleft_on.bmp", "navleft_down.bmp"},
    {"dellink", "dellink.bmp", "dellink_on.bmp", "dellink_down.bmp"},
};

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane_iconrender OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    int written = 0;
    for (const Files &f : files) {
        const QString glyph = QString::fromLatin1(f.glyph);
        const std::pair<const char *, State> states[] = {
            {f.normal, State::Normal}, {f.hover, State::Hover}, {f.pressed, State::Pressed}};
        for (const auto &[name, state] : states) {
            if (!name)
                continue;
            const QString file = QString::fromLatin1(name);
            // "back1.bmp" and, for screens of twice the density, "back1@2x.bmp".
            for (const int scale : {1, 2}) {
                const QString path = out.filePath(scale == 1 ? file : QString(file).insert(file.lastIndexOf(u'.'), u"@2x"));
                if (!render(glyph, state, scale).save(path, "BMP")) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                    return 1;
                }
                ++written;
            }
        }
    }
    std::printf("%d bitmaps written to %s\n", written, qPrintable(out.path()));
    return 0;
}
