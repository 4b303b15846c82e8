// The password pictures, drawn on a 32-unit grid in one flat style: a filled shape with a
// darker outline and white details, scaled to the size asked for.
#include "widgets/PasswordIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <cmath>

namespace kelvo {
namespace {

const QColor kGold(0xe0, 0xa5, 0x26);
const QColor kBlue(0x2e, 0x6d, 0xb4);
const QColor kSky(0x4a, 0xa3, 0xdf);
const QColor kGreen(0x3c, 0x9a, 0x4b);
const QColor kRed(0xc8, 0x38, 0x2b);
const QColor kOrange(0xe0, 0x7b, 0x22);
const QColor kPurple(0x7d, 0x4f, 0xa8);
const QColor kTeal(0x1f, 0x8f, 0x96);
const QColor kGrey(0x6b, 0x74, 0x80);
const QColor kBrown(0xa0, 0x5a, 0x2d);
const QColor kPink(0xd6, 0x45, 0x7a);
const QColor kPaper(0xf4, 0xf1, 0xe8);

const std::array<const char*, kPasswordIconCount> kNames{
    "Ключ",      "Замок",       "Интернет",  "Почта",     "Банковская карта",
    "Дом",       "Звезда",      "Человек",   "Телефон",   "Компьютер",
    "Щит",       "Облако",      "Настройки", "Сердце",    "Покупки",
    "Сообщения", "Сеть Wi-Fi",  "Игры",      "Работа",    "Книга",
    "Музыка",    "Фото",        "Видео",     "Сервер",    "База данных",
    "Флаг",      "Молния",      "Папка",     "Календарь", "Деньги",
    "Подарок",   "Путешествия", "Автомобиль"};

class Pen {
public:
    explicit Pen(QPainter& p) : m_p(p) {}

    // A filled shape with the outline of its colour, darker.
    void Fill(const QPainterPath& path, const QColor& colour) {
        m_p.setPen(QPen(colour.darker(165), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.setBrush(colour);
        m_p.drawPath(path);
    }
    // A detail without outline.
    void Flat(const QPainterPath& path, const QColor& colour) {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(colour);
        m_p.drawPath(path);
    }
    void Line(const QPainterPath& path, const QColor& colour, double width) {
        m_p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawPath(path);
    }

private:
    QPainter& m_p;
};

QPainterPath Rect(double x, double y, double w, double h, double r = 0) {
    QPainterPath path;
    if (r > 0)
        path.addRoundedRect(QRectF(x, y, w, h), r, r);
    else
        path.addRect(QRectF(x, y, w, h));
    return path;
}

QPainterPath Circle(double cx, double cy, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath Ellipse(double cx, double cy, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    path.closeSubpath();
    return path;
}

// The outline of overlapping shapes as one (simplified() alone would use the odd-even rule
// and cut holes where they overlap).
QPainterPath Merged(QPainterPath path) {
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

QPainterPath Star(double cx, double cy, double outer, double inner, int points) {
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / points;
        const double r = i % 2 ? inner : outer;
        const QPointF point(cx + r * std::cos(angle), cy + r * std::sin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void DrawIcon(QPainter& p, int number) {
    Pen pen(p);
    switch (number) {
    case 0: { // key
        QPainterPath key = Circle(10, 16, 7.5);
        key.addPath(Rect(15, 13.5, 15, 5, 1));
        key.addPath(Rect(22, 17, 3.5, 6));
        key.addPath(Rect(27, 17, 3, 4.5));
        pen.Fill(Merged(key), kGold);
        pen.Flat(Circle(8.5, 16, 2.8), Qt::white);
        break;
    }
    case 1: { // padlock
        QPainterPath shackle;
        shackle.moveTo(9.5, 15);
        shackle.lineTo(9.5, 10);
        shackle.arcTo(QRectF(9.5, 3, 13, 14), 180, -180);
        shackle.lineTo(22.5, 15);
        pen.Line(shackle, kGrey.darker(130), 3.6);
        pen.Line(shackle, QColor(0xc8, 0xcd, 0xd4), 1.6);
        pen.Fill(Rect(5, 14, 22, 16, 3), kGold);
        pen.Flat(Circle(16, 20.5, 2.6), kGold.darker(200));
        pen.Flat(Rect(15, 21, 2, 5), kGold.darker(200));
        break;
    }
    case 2: { // globe
        pen.Fill(Circle(16, 16, 13), kSky);
        QPainterPath grid = Ellipse(16, 16, 5.5, 13);
        grid.moveTo(3, 16);
        grid.lineTo(29, 16);
        grid.moveTo(5.5, 9.5);
        grid.lineTo(26.5, 9.5);
        grid.moveTo(5.5, 22.5);
        grid.lineTo(26.5, 22.5);
        grid.moveTo(16, 3);
        grid.lineTo(16, 29);
        pen.Line(grid, Qt::white, 1.4);
        break;
    }
    case 3: { // envelope
        pen.Fill(Rect(3, 7, 26, 18, 2), kPaper);
        QPainterPath flap;
        flap.moveTo(4, 8.5);
        flap.lineTo(16, 18);
        flap.lineTo(28, 8.5);
        pen.Line(flap, kOrange, 2.2);
        QPainterPath sides;
        sides.moveTo(4, 24);
        sides.lineTo(12.5, 15.5);
        sides.moveTo(28, 24);
        sides.lineTo(19.5, 15.5);
        pen.Line(sides, kOrange.lighter(130), 1.3);
        break;
    }
    case 4: { // bank card
        pen.Fill(Rect(2.5, 7, 27, 19, 3), kGreen);
        pen.Flat(Rect(3.5, 11, 25, 4), QColor(0x22, 0x30, 0x28));
        pen.Flat(Rect(6, 18, 6, 4.5, 1), kGold);
        pen.Flat(Rect(15, 19.5, 10, 1.8), QColor(255, 255, 255, 200));
        break;
    }
    case 5: { // house
        pen.Fill(Rect(7, 15, 18, 14), kPaper);
        pen.Fill(Polygon({{16, 3}, {30, 16}, {2, 16}}), kRed);
        pen.Flat(Rect(13.5, 20, 5, 9), kBrown);
        pen.Flat(Rect(20, 18, 3.5, 3.5), kSky);
        break;
    }
    case 6: // star
        pen.Fill(Star(16, 17, 14, 6, 5), kGold);
        break;
    case 7: { // person
        pen.Fill(Circle(16, 10, 6.5), kBlue);
        QPainterPath body;
        body.moveTo(4, 30);
        body.cubicTo(4, 20, 10, 18, 16, 18);
        body.cubicTo(22, 18, 28, 20, 28, 30);
        body.closeSubpath();
        pen.Fill(body, kBlue);
        break;
    }
    case 8: // mobile phone
        pen.Fill(Rect(9, 2.5, 14, 27, 3), QColor(0x3a, 0x40, 0x48));
        pen.Flat(Rect(11, 6, 10, 17), kSky);
        pen.Flat(Circle(16, 26, 1.5), Qt::white);
        break;
    case 9: // monitor
        pen.Fill(Rect(13, 22, 6, 5), kGrey);
        pen.Fill(Rect(8, 26, 16, 3, 1), kGrey);
        pen.Fill(Rect(2.5, 4, 27, 19, 2), QColor(0x3a, 0x40, 0x48));
        pen.Flat(Rect(5, 6.5, 22, 14), kSky);
        break;
    case 10: { // shield
        QPainterPath shield;
        shield.moveTo(16, 2.5);
        shield.lineTo(28, 7);
        shield.cubicTo(28, 19, 23, 25.5, 16, 29.5);
        shield.cubicTo(9, 25.5, 4, 19, 4, 7);
        shield.closeSubpath();
        pen.Fill(shield, kBlue);
        QPainterPath tick;
        tick.moveTo(10.5, 16);
        tick.lineTo(14.5, 20.5);
        tick.lineTo(22, 11.5);
        pen.Line(tick, Qt::white, 2.8);
        break;
    }
    case 11: { // cloud
        QPainterPath cloud = Circle(11, 19, 6.5);
        cloud.addPath(Circle(18, 14, 8));
        cloud.addPath(Circle(24.5, 20, 5.5));
        cloud.addPath(Rect(8, 19, 18, 6.5, 3));
        pen.Fill(Merged(cloud), kSky.lighter(115));
        break;
    }
    case 12: { // gear
        QPainterPath gear = Circle(16, 16, 9.5);
        for (int i = 0; i < 8; ++i) {
            QTransform turn;
            turn.translate(16, 16);
            turn.rotate(i * 45.0);
            gear.addPath(turn.map(Rect(-2.8, -14, 5.6, 6, 1)));
        }
        gear = Merged(gear).subtracted(Circle(16, 16, 4));
        pen.Fill(gear, kGrey);
        break;
    }
    case 13: { // heart
        QPainterPath heart;
        heart.moveTo(16, 28.5);
        heart.cubicTo(4, 20, 1.5, 13, 4.5, 8);
        heart.cubicTo(7.5, 3.5, 13.5, 4, 16, 9.5);
        heart.cubicTo(18.5, 4, 24.5, 3.5, 27.5, 8);
        heart.cubicTo(30.5, 13, 28, 20, 16, 28.5);
        heart.closeSubpath();
        pen.Fill(heart, kRed);
        break;
    }
    case 14: { // shopping cart
        QPainterPath handle;
        handle.moveTo(2, 5);
        handle.lineTo(6.5, 5);
        handle.lineTo(9.5, 20);
        handle.lineTo(26, 20);
        pen.Line(handle, kGrey.darker(130), 2.4);
        pen.Fill(Polygon({{7.5, 8.5}, {29, 8.5}, {26.5, 17.5}, {9.5, 17.5}}), kOrange);
        pen.Fill(Circle(11.5, 25.5, 2.8), kGrey.darker(130));
        pen.Fill(Circle(23.5, 25.5, 2.8), kGrey.darker(130));
        break;
    }
    case 15: { // chat bubble
        QPainterPath bubble = Rect(2.5, 4, 27, 19, 5);
        bubble.addPath(Polygon({{8, 20}, {15, 20}, {7, 29}}));
        pen.Fill(Merged(bubble), kTeal);
        for (double x : {10.0, 16.0, 22.0})
            pen.Flat(Circle(x, 13.5, 2), Qt::white);
        break;
    }
    case 16: { // wireless network
        QPainterPath waves;
        for (double r : {6.0, 11.0, 16.0}) {
            QRectF box(16 - r, 27 - r, 2 * r, 2 * r);
            waves.arcMoveTo(box, 45);
            waves.arcTo(box, 45, 90);
        }
        pen.Line(waves, kBlue, 3.2);
        pen.Flat(Circle(16, 26.5, 2.8), kBlue);
        break;
    }
    case 17: { // game pad
        QPainterPath pad = Rect(2.5, 10, 27, 14, 7);
        pad.addPath(Circle(8, 22, 5));
        pad.addPath(Circle(24, 22, 5));
        pen.Fill(Merged(pad), kPurple);
        pen.Flat(Rect(6, 15.5, 7, 2.4), Qt::white);
        pen.Flat(Rect(8.3, 13.2, 2.4, 7), Qt::white);
        pen.Flat(Circle(22, 15, 1.7), kGold);
        pen.Flat(Circle(25.5, 18.5, 1.7), kGreen.lighter(130));
        break;
    }
    case 18: { // briefcase
        QPainterPath handle = Rect(11, 4, 10, 7, 2.5).subtracted(Rect(13.5, 6.5, 5, 5));
        pen.Fill(handle, kBrown.darker(120));
        pen.Fill(Rect(2.5, 10, 27, 18, 3), kBrown);
        pen.Flat(Rect(3.5, 17, 25, 2), kBrown.darker(150));
        pen.Flat(Rect(14, 15.5, 4, 5, 1), kGold);
        break;
    }
    case 19: // book
        pen.Fill(Rect(6, 3, 21, 26, 2), kRed);
        pen.Flat(Rect(6.8, 3.8, 3.2, 24.4), kRed.darker(140));
        pen.Flat(Rect(13, 8, 10, 2.2), QColor(255, 255, 255, 210));
        pen.Flat(Rect(13, 12.5, 7, 2.2), QColor(255, 255, 255, 210));
        pen.Flat(Rect(10, 25, 16, 2.5), kPaper);
        break;
    case 20: { // music note
        QPainterPath beam = Polygon({{11, 9}, {27, 4}, {27, 8.5}, {11, 13.5}});
        beam.addPath(Rect(11, 10, 2.6, 14));
        beam.addPath(Rect(24.4, 5, 2.6, 15));
        beam.addPath(Ellipse(8.5, 24, 4.5, 3.6));
        beam.addPath(Ellipse(22, 20, 4.5, 3.6));
        pen.Fill(Merged(beam), kPurple);
        break;
    }
    case 21: { // camera
        QPainterPath body = Rect(2.5, 9, 27, 18, 3);
        body.addPath(Rect(10, 5, 10, 6, 1.5));
        pen.Fill(Merged(body), QColor(0x3a, 0x40, 0x48));
        pen.Fill(Circle(16, 18, 6.5), kSky);
        pen.Flat(Circle(16, 18, 3), QColor(0x1d, 0x4e, 0x7a));
        pen.Flat(Rect(23.5, 11.5, 3.5, 2.2), kGold);
        break;
    }
    case 22: // video
        pen.Fill(Rect(2.5, 6, 27, 20, 5), kRed);
        pen.Flat(Polygon({{13, 11}, {21.5, 16}, {13, 21}}), Qt::white);
        break;
    case 23: // server
        for (int i = 0; i < 3; ++i) {
            const double y = 3.5 + i * 9;
            pen.Fill(Rect(4, y, 24, 7.5, 1.5), kGrey);
            pen.Flat(Circle(8.5, y + 3.75, 1.5), kGreen.lighter(140));
            pen.Flat(Rect(13, y + 2.8, 11, 1.9), kGrey.darker(150));
        }
        break;
    case 24: { // database
        QPainterPath drum = Rect(5, 7, 22, 18);
        drum.addPath(Ellipse(16, 25, 11, 4.5));
        pen.Fill(Merged(drum), kBlue);
        QPainterPath rings;
        rings.arcMoveTo(QRectF(5, 10.5, 22, 9), 180);
        rings.arcTo(QRectF(5, 10.5, 22, 9), 180, 180);
        rings.arcMoveTo(QRectF(5, 16.5, 22, 9), 180);
        rings.arcTo(QRectF(5, 16.5, 22, 9), 180, 180);
        pen.Line(rings, kSky.lighter(130), 1.4);
        pen.Fill(Ellipse(16, 7, 11, 4.5), kSky);
        break;
    }
    case 25: { // flag
        pen.Fill(Rect(5, 3, 3, 27, 1), kGrey.darker(120));
        QPainterPath cloth;
        cloth.moveTo(8, 5);
        cloth.cubicTo(14, 2, 19, 8, 28, 5);
        cloth.lineTo(28, 18);
        cloth.cubicTo(19, 21, 14, 15, 8, 18);
        cloth.closeSubpath();
        pen.Fill(cloth, kRed);
        break;
    }
    case 26: // lightning
        pen.Fill(Polygon({{19, 2}, {6.5, 18}, {15, 18}, {12, 30}, {25.5, 13}, {17, 13}}), kGold);
        break;
    case 27: { // folder
        QPainterPath back = Rect(3, 6, 11, 6, 1.5);
        back.addPath(Rect(3, 9, 26, 19, 2));
        pen.Fill(Merged(back), kGold.darker(115));
        pen.Fill(Polygon({{3, 14}, {29, 14}, {29, 28}, {3, 28}}), kGold);
        break;
    }
    case 28: { // calendar
        pen.Fill(Rect(3.5, 5, 25, 24, 2.5), kPaper);
        pen.Flat(Rect(4.3, 5.8, 23.4, 6, 2), kRed);
        pen.Fill(Rect(9, 2.5, 2.5, 6, 1), kGrey);
        pen.Fill(Rect(20.5, 2.5, 2.5, 6, 1), kGrey);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                pen.Flat(Rect(7 + col * 5, 15 + row * 4.5, 3, 2.6), kGrey);
        break;
    }
    case 29: // money: a banknote
        pen.Fill(Rect(2, 8, 28, 16, 2), kGreen);
        pen.Flat(Rect(4.5, 10.5, 23, 11, 1), kGreen.lighter(125));
        pen.Fill(Circle(16, 16, 4.5), kGreen.darker(115));
        pen.Flat(Circle(7.5, 16, 1.4), kGreen.darker(140));
        pen.Flat(Circle(24.5, 16, 1.4), kGreen.darker(140));
        break;
    case 30: { // gift
        pen.Fill(Rect(4, 14, 24, 15, 1.5), kRed);
        pen.Fill(Rect(2.5, 9.5, 27, 5.5, 1.5), kRed.lighter(115));
        pen.Flat(Rect(14, 10.3, 4, 18), kGold);
        QPainterPath bow;
        bow.moveTo(16, 9.5);
        bow.cubicTo(10, 1, 5, 7, 16, 9.5);
        bow.moveTo(16, 9.5);
        bow.cubicTo(22, 1, 27, 7, 16, 9.5);
        pen.Line(bow, kGold.darker(110), 2.2);
        break;
    }
    case 31: // aeroplane
        pen.Fill(Polygon({{29, 16},
                          {26, 13.8},
                          {19, 13.8},
                          {12, 3},
                          {9, 3},
                          {13, 13.8},
                          {6, 13.8},
                          {3.5, 10},
                          {1.5, 10},
                          {3, 16},
                          {1.5, 22},
                          {3.5, 22},
                          {6, 18.2},
                          {13, 18.2},
                          {9, 29},
                          {12, 29},
                          {19, 18.2},
                          {26, 18.2}}),
                 kSky);
        break;
    case 32: { // car
        QPainterPath body = Rect(2, 15, 28, 9, 3);
        body.addPath(Polygon({{8, 16}, {11, 8}, {22, 8}, {26, 16}}));
        pen.Fill(Merged(body), kRed);
        pen.Flat(Polygon({{11, 15}, {12.8, 10}, {16, 10}, {16, 15}}), kSky.lighter(120));
        pen.Flat(Polygon({{18, 15}, {18, 10}, {21, 10}, {23.5, 15}}), kSky.lighter(120));
        pen.Fill(Circle(9, 24, 3.6), QColor(0x2a, 0x2e, 0x33));
        pen.Fill(Circle(23, 24, 3.6), QColor(0x2a, 0x2e, 0x33));
        break;
    }
    default:
        break;
    }
}

QPixmap Draw(int number, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    DrawIcon(p, number);
    return pixmap;
}

} // namespace

QIcon PasswordIcon(int number) {
    static std::array<QIcon, kPasswordIconCount> icons;
    if (number < 0 || number >= kPasswordIconCount)
        number = 0;
    QIcon& icon = icons[static_cast<std::size_t>(number)];
    if (icon.isNull())
        for (int size : {16, 20, 24, 32, 48})
            icon.addPixmap(Draw(number, size));
    return icon;
}

QString PasswordIconName(int number) {
    if (number < 0 || number >= kPasswordIconCount)
        return {};
    return QString::fromUtf8(kNames[static_cast<std::size_t>(number)]);
}

} // namespace kelvo
