// Draws the base style's pictures: flat shapes in the style's colours, at the sizes the style lays
// them out.
// Built with -DDORRIK_BUILD_ART=ON; `cmake --build <build> --target redraw-art` redraws every
// shipped picture (see scripts/CMakeLists.txt).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

const QColor Accent("#4F7AA8");
const QColor Focus("#5F83D4");
const QColor Dark("#1D2B39");
const QColor Light("#DDDDDD");
const QColor Red("#D03A30");
const QColor Green("#3A9A4A");

using Draw = std::function<void(QPainter &, const QRectF &)>;

QPen pen(const QColor &c, qreal w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void cross(QPainter &p, const QRectF &r, const QColor &c, qreal w)
{
    p.setPen(pen(c, w));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void house(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath path;
    path.moveTo(r.center().x(), r.top());
    path.lineTo(r.right(), r.top() + r.height() * 0.45);
    path.lineTo(r.right() - r.width() * 0.15, r.top() + r.height() * 0.45);
    path.lineTo(r.right() - r.width() * 0.15, r.bottom());
    path.lineTo(r.left() + r.width() * 0.15, r.bottom());
    path.lineTo(r.left() + r.width() * 0.15, r.top() + r.height() * 0.45);
    path.lineTo(r.left(), r.top() + r.height() * 0.45);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

void arrowRight(QPainter &p, const QRectF &r, const QColor &c, qreal w)
{
    p.setPen(pen(c, w));
    p.setBrush(Qt::NoBrush);
    QPolygonF poly{QPointF(r.left(), r.top()), QPointF(r.right(), r.center().y()),
                   QPointF(r.left(), r.bottom())};
    p.drawPolyline(poly);
}

void tile(QPainter &p, const QRectF &r, const QColor &back)
{
    p.setPen(pen(Dark, 2));
    p.setBrush(back);
    p.drawRoundedRect(r.adjusted(2, 2, -2, -2), r.width() * 0.12, r.width() * 0.12);
}

void card(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath path;
    const QRectF b =
        r.adjusted(r.width() * 0.2, r.height() * 0.08, -r.width() * 0.2, -r.height() * 0.08);
    path.moveTo(b.left(), b.top());
    path.lineTo(b.right() - b.width() * 0.3, b.top());
    path.lineTo(b.right(), b.top() + b.width() * 0.3);
    path.lineTo(b.right(), b.bottom());
    path.lineTo(b.left(), b.bottom());
    path.closeSubpath();
    p.setPen(pen(Light, 1.5));
    p.setBrush(c);
    p.drawPath(path);
}

void person(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const qreal d = r.height() * 0.4;
    p.drawEllipse(QRectF(r.center().x() - d / 2, r.top(), d, d));
    p.drawPie(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.5, r.width() * 0.7,
                     r.height() * 0.9),
              0, 180 * 16);
}

void gear(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const QPointF o = r.center();
    const qreal ro = qMin(r.width(), r.height()) / 2, ri = ro * 0.72;
    QPolygonF poly;
    for (int i = 0; i < 32; ++i) {
        const qreal a = i * M_PI / 16;
        const qreal rad = (i / 2) % 2 ? ri : ro;
        poly << o + QPointF(qCos(a) * rad, qSin(a) * rad);
    }
    p.drawPolygon(poly);
    p.setBrush(Light);
    p.drawEllipse(o, ro * 0.3, ro * 0.3);
}

void siteBox(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(pen(Dark, 2));
    p.setBrush(c);
    p.drawRect(
        r.adjusted(r.width() * 0.15, r.height() * 0.3, -r.width() * 0.15, -r.height() * 0.1));
    p.drawLine(QPointF(r.center().x(), r.top() + r.height() * 0.05),
               QPointF(r.center().x(), r.top() + r.height() * 0.3));
}

void folder(QPainter &p, const QRectF &r, const QColor &c)
{
    QPainterPath path;
    const QRectF b =
        r.adjusted(r.width() * 0.08, r.height() * 0.2, -r.width() * 0.08, -r.height() * 0.12);
    path.moveTo(b.left(), b.top());
    path.lineTo(b.left() + b.width() * 0.4, b.top());
    path.lineTo(b.left() + b.width() * 0.5, b.top() + b.height() * 0.15);
    path.lineTo(b.right(), b.top() + b.height() * 0.15);
    path.lineTo(b.right(), b.bottom());
    path.lineTo(b.left(), b.bottom());
    path.closeSubpath();
    p.setPen(pen(Dark, 2));
    p.setBrush(c);
    p.drawPath(path);
}

void plus(QPainter &p, const QRectF &r, const QColor &c, qreal w)
{
    p.setPen(pen(c, w));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
}

QRectF inset(const QRectF &r, qreal f)
{
    return r.adjusted(r.width() * f, r.height() * f, -r.width() * f, -r.height() * f);
}

struct Picture
{
    const char *name;
    int width;
    int height;
    Draw draw;
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    // Main-button pictures fit 160 x 110 and lie on the button's own framed face: the symbol
    // alone, no tile of its own (that would be a frame inside the frame). The pressed ones sit
    // on a faint shade.
    const auto mainTile = [](Draw inner, bool pressed) {
        return [inner, pressed](QPainter &p, const QRectF &r) {
            if (pressed) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0, 0, 0, 40));
                p.drawEllipse(inset(r, 0.04));
            }
            inner(p, inset(r, 0.14));
        };
    };
    const Draw info = [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(Light);
        p.drawEllipse(
            QRectF(r.center().x() - r.width() * 0.08, r.top(), r.width() * 0.16, r.width() * 0.16));
        p.drawRoundedRect(QRectF(r.center().x() - r.width() * 0.08, r.top() + r.height() * 0.3,
                                 r.width() * 0.16, r.height() * 0.7),
                          3, 3);
    };
    const Draw grid = [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(Light);
        const qreal s = r.width() * 0.42;
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                p.drawRoundedRect(
                    QRectF(r.left() + i * r.width() * 0.58, r.top() + j * r.height() * 0.58, s, s),
                    4, 4);
    };
    const Draw chart = [](QPainter &p, const QRectF &r) {
        p.setPen(pen(Light, 3));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topLeft());
        p.setPen(pen(QColor("#FFE08A"), 4));
        p.drawPolyline(QPolygonF{QPointF(r.left() + 6, r.bottom() - 8),
                                 QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.4),
                                 QPointF(r.left() + r.width() * 0.6, r.top() + r.height() * 0.65),
                                 QPointF(r.right() - 4, r.top() + 6)});
    };
    const Draw page = [](QPainter &p, const QRectF &r) {
        card(p, r, Light);
        p.setPen(pen(Dark, 2));
        for (int i = 1; i <= 3; ++i) {
            const qreal y = r.top() + r.height() * (0.25 + i * 0.17);
            p.drawLine(QPointF(r.left() + r.width() * 0.3, y),
                       QPointF(r.right() - r.width() * 0.3, y));
        }
    };
    const Draw plug = [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(Light);
        p.drawRoundedRect(QRectF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.3,
                                 r.width() * 0.5, r.height() * 0.4),
                          4, 4);
        p.setPen(pen(Light, 4));
        p.drawLine(QPointF(r.left() + r.width() * 0.38, r.top()),
                   QPointF(r.left() + r.width() * 0.38, r.top() + r.height() * 0.3));
        p.drawLine(QPointF(r.right() - r.width() * 0.38, r.top()),
                   QPointF(r.right() - r.width() * 0.38, r.top() + r.height() * 0.3));
        p.drawLine(QPointF(r.center().x(), r.top() + r.height() * 0.7), r.bottomLeft());
    };
    const Draw lightPerson = [](QPainter &p, const QRectF &r) { person(p, r, Light); };
    const Draw lightGear = [](QPainter &p, const QRectF &r) { gear(p, r, Light); };
    const Draw keyBack = [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#505050"));
        p.drawRoundedRect(inset(r, 0.05), 5, 5);
    };

    const QList<Picture> pictures = {
        {"about.png", 110, 110, mainTile(info, false)},
        {"about_pressed.png", 110, 110, mainTile(info, true)},
        {"applications.png", 110, 110, mainTile(grid, false)},
        {"archives.png", 110, 110, mainTile(chart, false)},
        {"documents.png", 110, 110, mainTile(page, false)},
        {"periphery.png", 110, 110, mainTile(plug, false)},
        {"profile.png", 110, 110, mainTile(lightPerson, false)},
        {"profile_pressed.png", 110, 110, mainTile(lightPerson, true)},
        {"settings.png", 110, 110, mainTile(lightGear, false)},
        {"settings_pressed.png", 110, 110, mainTile(lightGear, true)},
        {"addsite.png", 48, 48,
         [](QPainter &p, const QRectF &r) {
             siteBox(p, r, Accent);
             plus(p, inset(r, 0.35).translated(0, r.height() * 0.08), Light, 4);
         }},
        {"modifysite.png", 48, 48,
         [](QPainter &p, const QRectF &r) {
             siteBox(p, r, Accent);
             p.setPen(pen(QColor("#FFE08A"), 4));
             p.drawLine(QPointF(r.left() + r.width() * 0.3, r.bottom() - r.height() * 0.2),
                        QPointF(r.right() - r.width() * 0.3, r.top() + r.height() * 0.4));
         }},
        {"deletesite.png", 48, 48,
         [](QPainter &p, const QRectF &r) {
             siteBox(p, r, Accent);
             cross(p, inset(r, 0.35).translated(0, r.height() * 0.08), Red, 4);
         }},
        {"clonesite.png", 48, 48,
         [](QPainter &p, const QRectF &r) {
             siteBox(p, r.translated(-4, -4), Accent.lighter(130));
             siteBox(p, r.translated(4, 4), Accent);
         }},
        {"site.png", 48, 48, [](QPainter &p, const QRectF &r) { siteBox(p, r, Accent); }},
        {"sitegroup.png", 48, 48, [](QPainter &p, const QRectF &r) { folder(p, r, Focus); }},
        {"sitesubgroup.png", 48, 48,
         [](QPainter &p, const QRectF &r) { folder(p, inset(r, 0.1), Focus.lighter(130)); }},
        {"sitegroupup.png", 48, 48,
         [](QPainter &p, const QRectF &r) {
             folder(p, r, Focus);
             p.setPen(pen(Light, 4));
             p.drawPolyline(QPolygonF{QPointF(r.left() + r.width() * 0.35, r.center().y() + 6),
                                      QPointF(r.center().x(), r.center().y() - 6),
                                      QPointF(r.right() - r.width() * 0.35, r.center().y() + 6)});
         }},
        {"appicon.png", 64, 64,
         [](QPainter &p, const QRectF &r) {
             tile(p, r, Focus);
             p.setPen(pen(Light, 5));
             p.drawArc(inset(r, 0.25), 30 * 16, 300 * 16);
         }},
        {"backspacescreenbutton.png", 48, 40,
         [](QPainter &p, const QRectF &r) {
             QPainterPath path;
             const QRectF b = inset(r, 0.12);
             path.moveTo(b.left(), b.center().y());
             path.lineTo(b.left() + b.width() * 0.3, b.top());
             path.lineTo(b.right(), b.top());
             path.lineTo(b.right(), b.bottom());
             path.lineTo(b.left() + b.width() * 0.3, b.bottom());
             path.closeSubpath();
             p.setPen(pen(QColor("#505050"), 3));
             p.setBrush(Qt::NoBrush);
             p.drawPath(path);
             cross(p,
                   QRectF(b.left() + b.width() * 0.5, b.top() + b.height() * 0.3, b.width() * 0.3,
                          b.height() * 0.4),
                   QColor("#505050"), 3);
         }},
        {"shiftscreenbutton.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             const QRectF b = inset(r, 0.12);
             p.setPen(pen(QColor("#505050"), 3));
             p.setBrush(Qt::NoBrush);
             p.drawPolygon(QPolygonF{QPointF(b.center().x(), b.top()),
                                     QPointF(b.right(), b.center().y()),
                                     QPointF(b.right() - b.width() * 0.25, b.center().y()),
                                     QPointF(b.right() - b.width() * 0.25, b.bottom()),
                                     QPointF(b.left() + b.width() * 0.25, b.bottom()),
                                     QPointF(b.left() + b.width() * 0.25, b.center().y()),
                                     QPointF(b.left(), b.center().y())});
         }},
        {"screencursorbutton.png", 40, 40,
         [keyBack](QPainter &p, const QRectF &r) {
             keyBack(p, QRectF(r.center().x() - 2, r.top() + 4, 4, r.height() - 8));
             arrowRight(p, QRectF(r.right() - 12, r.center().y() - 6, 6, 12), QColor("#505050"), 3);
         }},
        {"broom.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(QColor("#8A5A2A"), 4));
             p.drawLine(QPointF(r.right() - 6, r.top() + 4),
                        QPointF(r.center().x(), r.center().y()));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor("#E0B040"));
             p.drawPolygon(QPolygonF{QPointF(r.center().x() - 4, r.center().y() - 4),
                                     QPointF(r.center().x() + 4, r.center().y() + 4),
                                     QPointF(r.left() + 10, r.bottom() - 2),
                                     QPointF(r.left() + 2, r.bottom() - 10)});
         }},
        {"button_triangle.png", 16, 16,
         [](QPainter &p, const QRectF &r) {
             p.setPen(Qt::NoPen);
             p.setBrush(Dark);
             p.drawPolygon(QPolygonF{inset(r, 0.2).topLeft(), inset(r, 0.2).topRight(),
                                     QPointF(r.center().x(), r.bottom() - 4)});
         }},
        {"card.png", 24, 24, [](QPainter &p, const QRectF &r) { card(p, r, Green); }},
        {"card_busy.png", 24, 24,
         [](QPainter &p, const QRectF &r) { card(p, r, QColor("#E0B040")); }},
        {"card_error.png", 24, 24,
         [](QPainter &p, const QRectF &r) {
             card(p, r, Red);
             cross(p, inset(r, 0.38), Light, 2);
         }},
        {"card_no.png", 24, 24,
         [](QPainter &p, const QRectF &r) {
             p.setOpacity(0.4);
             card(p, r, QColor("#777777"));
         }},
        {"checkbox_checked.png", 32, 32,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Dark, 2));
             p.setBrush(Qt::white);
             p.drawRoundedRect(inset(r, 0.1), 3, 3);
             p.setPen(pen(Green, 4));
             p.drawPolyline(QPolygonF{QPointF(r.left() + 8, r.center().y()),
                                      QPointF(r.center().x() - 2, r.bottom() - 9),
                                      QPointF(r.right() - 7, r.top() + 8)});
         }},
        {"checkbox_unchecked.png", 32, 32,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Dark, 2));
             p.setBrush(Qt::white);
             p.drawRoundedRect(inset(r, 0.1), 3, 3);
         }},
        {"checkbox_grayed.png", 32, 32,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(QColor("#888888"), 2));
             p.setBrush(QColor("#DDDDDD"));
             p.drawRoundedRect(inset(r, 0.1), 3, 3);
             p.setBrush(QColor("#999999"));
             p.setPen(Qt::NoPen);
             p.drawRect(inset(r, 0.32));
         }},
        {"closecross.png", 16, 16,
         [](QPainter &p, const QRectF &r) { cross(p, inset(r, 0.15), Qt::white, 2.5); }},
        {"closeicon.png", 36, 36,
         [](QPainter &p, const QRectF &r) {
             p.setPen(Qt::NoPen);
             p.setBrush(Red);
             p.drawEllipse(inset(r, 0.03));
             cross(p, inset(r, 0.3), Qt::white, 4);
         }},
        {"minimizeicon.png", 36, 36,
         [](QPainter &p, const QRectF &r) {
             p.setPen(Qt::NoPen);
             p.setBrush(Focus);
             p.drawEllipse(inset(r, 0.03));
             p.setPen(pen(Qt::white, 4));
             p.drawLine(QPointF(r.left() + r.width() * 0.28, r.bottom() - r.height() * 0.32),
                        QPointF(r.right() - r.width() * 0.28, r.bottom() - r.height() * 0.32));
         }},
        {"dialogsbackground.png", 64, 64,
         [](QPainter &p, const QRectF &r) {
             // 15 px edges: rounded corners that fit the dialog frame's, a middle that stretches.
             QLinearGradient g(r.topLeft(), r.bottomLeft());
             g.setColorAt(0, QColor("#F6F7FF"));
             g.setColorAt(1, QColor("#E4E8F6"));
             p.setPen(Qt::NoPen);
             p.setBrush(g);
             p.drawRoundedRect(r, 13, 13);
         }},
        {"editpencil.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(QColor("#E0B040"), 7));
             p.drawLine(QPointF(r.left() + 10, r.bottom() - 10),
                        QPointF(r.right() - 6, r.top() + 6));
             p.setPen(pen(Dark, 3));
             p.drawLine(QPointF(r.left() + 5, r.bottom() - 5),
                        QPointF(r.left() + 9, r.bottom() - 9));
         }},
        {"exit.png", 32, 32,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Dark, 3));
             p.drawRect(QRectF(r.left() + 4, r.top() + 4, r.width() * 0.45, r.height() - 8));
             arrowRight(p, QRectF(r.right() - 12, r.center().y() - 7, 7, 14), Red, 3);
             p.setPen(pen(Red, 3));
             p.drawLine(QPointF(r.center().x() - 2, r.center().y()),
                        QPointF(r.right() - 6, r.center().y()));
         }},
        {"failure.png", 24, 24,
         [](QPainter &p, const QRectF &r) {
             p.setPen(Qt::NoPen);
             p.setBrush(Red);
             p.drawPolygon(QPolygonF{QPointF(r.center().x(), r.top() + 1),
                                     r.bottomRight() - QPointF(1, 2),
                                     r.bottomLeft() + QPointF(1, -2)});
             p.setPen(pen(Qt::white, 2.5));
             p.drawLine(QPointF(r.center().x(), r.top() + 8),
                        QPointF(r.center().x(), r.bottom() - 9));
             p.drawPoint(QPointF(r.center().x(), r.bottom() - 5));
         }},
        {"foldermagnifier.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             folder(p, r, Focus);
             p.setPen(pen(Light, 3));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(r.center().x() - 2, r.center().y() + 2), 7, 7);
             p.drawLine(QPointF(r.center().x() + 3, r.center().y() + 7),
                        QPointF(r.center().x() + 9, r.center().y() + 13));
         }},
        {"home.png", 40, 40,
         [](QPainter &p, const QRectF &r) { house(p, inset(r, 0.1), Qt::white); }},
        {"home_pressed.png", 40, 40,
         [](QPainter &p, const QRectF &r) { house(p, inset(r, 0.1), Focus.lighter(140)); }},
        {"importarrow.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Green, 5));
             p.drawLine(QPointF(r.center().x(), r.top() + 5),
                        QPointF(r.center().x(), r.bottom() - 8));
             p.drawPolyline(QPolygonF{QPointF(r.left() + 9, r.center().y() + 2),
                                      QPointF(r.center().x(), r.bottom() - 7),
                                      QPointF(r.right() - 9, r.center().y() + 2)});
         }},
        {"menuItemRightArrow.png", 24, 32,
         [](QPainter &p, const QRectF &r) { arrowRight(p, inset(r, 0.25), Dark, 4); }},
        {"menuItemRightArrow_pressed.png", 24, 32,
         [](QPainter &p, const QRectF &r) { arrowRight(p, inset(r, 0.25), Focus, 4); }},
        {"moon.png", 32, 32,
         [](QPainter &p, const QRectF &r) {
             QPainterPath full, bite;
             full.addEllipse(inset(r, 0.12));
             bite.addEllipse(inset(r, 0.12).translated(r.width() * 0.3, -r.height() * 0.15));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor("#C8D2E8"));
             p.drawPath(full.subtracted(bite));
         }},
        {"sun.png", 32, 32,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(QColor("#F0C030"), 2.5));
             for (int i = 0; i < 8; ++i) {
                 const qreal a = i * M_PI / 4;
                 p.drawLine(r.center() + QPointF(qCos(a), qSin(a)) * 10,
                            r.center() + QPointF(qCos(a), qSin(a)) * 14);
             }
             p.setPen(Qt::NoPen);
             p.setBrush(QColor("#F0C030"));
             p.drawEllipse(r.center(), 7, 7);
         }},
        {"prevframe.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Light, 5));
             p.drawPolyline(QPolygonF{QPointF(r.right() - 14, r.top() + 8),
                                      QPointF(r.left() + 12, r.center().y()),
                                      QPointF(r.right() - 14, r.bottom() - 8)});
         }},
        {"progressbarbackground.png", 32, 16,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Dark, 1));
             p.setBrush(QColor("#EEEEEE"));
             p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
         }},
        // Drawn as a border image with 8 px borders: taller than both, so that a middle is left.
        {"progressbarfill.png", 32, 24,
         [](QPainter &p, const QRectF &r) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor("#5F8AB8"));
             p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 4, 4);
         }},
        {"saveadc.png", 40, 40,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Dark, 2));
             p.setBrush(Accent);
             p.drawRect(inset(r, 0.12));
             p.setBrush(Light);
             p.drawRect(QRectF(r.left() + 11, r.top() + 5, r.width() - 22, 11));
             p.drawRect(QRectF(r.left() + 9, r.center().y() + 2, r.width() - 18, 11));
         }},
        {"scheduleactive.png", 24, 24,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Light, 2));
             p.setBrush(Focus);
             p.drawEllipse(inset(r, 0.08));
             p.drawLine(r.center(), QPointF(r.center().x(), r.top() + 6));
             p.drawLine(r.center(), QPointF(r.right() - 7, r.center().y()));
         }},
        {"scheduledone.png", 24, 24,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Light, 2));
             p.setBrush(Green);
             p.drawEllipse(inset(r, 0.08));
             p.drawPolyline(QPolygonF{QPointF(r.left() + 7, r.center().y()),
                                      QPointF(r.center().x() - 1, r.bottom() - 7),
                                      QPointF(r.right() - 6, r.top() + 7)});
         }},
        {"signalwindowbackground.png", 64, 64,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(QColor("#355E88"), 2));
             p.setBrush(QColor("#E8EEF8"));
             p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 8, 8);
         }},
        {"treevertline.png", 16, 48,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(QColor("#44000000"), 2));
             p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
         }},
        {"usb.png", 24, 24,
         [](QPainter &p, const QRectF &r) {
             p.setPen(pen(Light, 2));
             p.setBrush(Light);
             p.drawLine(QPointF(r.left() + 3, r.center().y()),
                        QPointF(r.right() - 5, r.center().y()));
             p.drawEllipse(QPointF(r.left() + 4, r.center().y()), 2.5, 2.5);
             p.drawPolygon(QPolygonF{QPointF(r.right() - 2, r.center().y()),
                                     QPointF(r.right() - 7, r.center().y() - 3),
                                     QPointF(r.right() - 7, r.center().y() + 3)});
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF{QPointF(r.left() + 8, r.center().y()),
                                      QPointF(r.left() + 11, r.top() + 6),
                                      QPointF(r.left() + 15, r.top() + 6)});
             p.drawPolyline(QPolygonF{QPointF(r.left() + 10, r.center().y()),
                                      QPointF(r.left() + 13, r.bottom() - 6),
                                      QPointF(r.left() + 16, r.bottom() - 6)});
         }},
        {"wallpaper.png", 800, 600,
         [](QPainter &p, const QRectF &r) {
             QLinearGradient g(r.topLeft(), r.bottomRight());
             g.setColorAt(0, QColor("#6F94C8"));
             g.setColorAt(1, QColor("#23446E"));
             p.fillRect(r, g);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 255, 255, 18));
             p.drawEllipse(QPointF(r.width() * 0.8, r.height() * 0.25), 260, 260);
             p.drawEllipse(QPointF(r.width() * 0.15, r.height() * 0.9), 200, 200);
         }},
    };

    for (const Picture &pic : pictures) {
        QImage image(pic.width, pic.height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        pic.draw(painter, QRectF(0, 0, pic.width, pic.height));
        painter.end();
        if (!image.save(out + QLatin1Char('/') + QLatin1String(pic.name)))
            qFatal("cannot write %s", pic.name);
    }
    printf("%lld pictures written to %s\n", static_cast<long long>(pictures.size()),
           qPrintable(out));
    return 0;
}
