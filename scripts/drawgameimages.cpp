// Draws the pictures of the two games, the sea battle (apps/SeaBattle/) and the balls
// (apps/Balls/): flat shapes in the style's colours.
// Built with -DDORRIK_BUILD_ART=ON; `cmake --build <build> --target redraw-art` redraws every
// shipped picture (see scripts/CMakeLists.txt).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QColor Dark("#1D2B39");
const QColor Accent("#4F7AA8");
const QColor Light("#F5F5F0");
const QColor Sea("#B8DFF2");
const QColor DeepSea("#7FB3D9");

QImage canvas(int width, int height, const QColor &fill = Qt::transparent)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// Rows of soft wave crests over a pale sea; the screen crops it to fill.
QImage seaBackground()
{
    QImage image = canvas(800, 600, QColor("#E4F2FA"));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(79, 122, 168, 45), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 16; ++row) {
        const qreal y = 20 + row * 40;
        const qreal shift = (row % 2) * 40;
        for (qreal x = -80 + shift; x < 880; x += 80) {
            QPainterPath crest;
            crest.moveTo(x, y);
            crest.quadTo(x + 20, y - 12, x + 40, y);
            p.drawPath(crest);
        }
    }
    return image;
}

// The water of a field: square, drawn under the grid.
QImage field()
{
    QImage image = canvas(400, 400, Sea);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 90), 2, Qt::SolidLine, Qt::RoundCap));
    for (int row = 0; row < 10; ++row) {
        for (int col = 0; col < 10; ++col) {
            if ((row * 3 + col * 7) % 4 != 0)
                continue;
            const qreal x = col * 40 + 10;
            const qreal y = row * 40 + 24;
            QPainterPath crest;
            crest.moveTo(x, y);
            crest.quadTo(x + 10, y - 6, x + 20, y);
            p.drawPath(crest);
        }
    }
    return image;
}

// Ten by ten lines, transparent between them, stretched over the field.
QImage grid()
{
    QImage image = canvas(400, 400);
    QPainter p(&image);
    p.setPen(QPen(QColor(29, 43, 57, 110), 2));
    for (int i = 1; i < 10; ++i) {
        p.drawLine(i * 40, 0, i * 40, 400);
        p.drawLine(0, i * 40, 400, i * 40);
    }
    return image;
}

// A shot: a dark splash ring with a dot, readable over water and over a ship.
QImage shot()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Dark, 4));
    p.setBrush(QColor(245, 245, 240, 200));
    p.drawEllipse(QPointF(24, 24), 19, 19);
    p.setPen(Qt::NoPen);
    p.setBrush(Dark);
    p.drawEllipse(QPointF(24, 24), 7, 7);
    return image;
}

// A small ship on a wave.
QImage seaIcon()
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Sea);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    QPainterPath hull;
    hull.moveTo(8, 34);
    hull.lineTo(56, 34);
    hull.lineTo(48, 46);
    hull.lineTo(16, 46);
    hull.closeSubpath();
    p.setPen(QPen(Dark, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor("#6688FF"));
    p.drawPath(hull);
    p.setBrush(Light);
    p.drawRect(QRectF(24, 22, 16, 12));
    p.drawLine(QPointF(32, 10), QPointF(32, 22));
    p.setPen(QPen(Accent, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(6, 54);
    wave.quadTo(14, 48, 22, 54);
    wave.quadTo(30, 60, 38, 54);
    wave.quadTo(46, 48, 58, 54);
    p.drawPath(wave);
    return image;
}

// A ball: a flat disc with a dark rim and a light spot.
QImage ball(const QColor &colour)
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(170), 3));
    p.setBrush(colour);
    p.drawEllipse(QPointF(32, 32), 28, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(23, 22), 9, 7);
    return image;
}

// A burst's particle: a soft white dot.
QImage boomParticle()
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(8, 8), 8);
    glow.setColorAt(0, QColor(255, 255, 255, 255));
    glow.setColorAt(0.5, QColor(255, 240, 200, 180));
    glow.setColorAt(1, QColor(255, 240, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QRectF(0, 0, 16, 16));
    return image;
}

// Dark, with faint rings, so that the balls stand out.
QImage ballsBackground()
{
    QImage image = canvas(800, 600, QColor("#101820"));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(79, 122, 168, 40), 2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 9; ++i) {
        const qreal r = 60 + i * 70;
        p.drawEllipse(QPointF(400, 300), r, r);
    }
    return image;
}

// Four balls in a square.
QImage ballsIcon()
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QColor colours[] = {QColor("#E04040"), QColor("#40B040"), QColor("#4070E0"),
                              QColor("#E8C020")};
    for (int i = 0; i < 4; ++i)
        p.drawImage(QRectF((i % 2) * 32, (i / 2) * 32, 32, 32), ball(colours[i]));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("SeaBattle"));
    dir.mkpath(QStringLiteral("Balls/images"));
    const auto save = [&](const QImage &image, const char *path) {
        return image.save(dir.filePath(QLatin1String(path)));
    };
    const bool ok = save(seaIcon(), "SeaBattle/icon.png") &&
                    save(seaBackground(), "SeaBattle/background.png") &&
                    save(field(), "SeaBattle/field.png") && save(grid(), "SeaBattle/grid.png") &&
                    save(shot(), "SeaBattle/shot.png") && save(ballsIcon(), "Balls/icon.png") &&
                    save(ballsBackground(), "Balls/images/background.png") &&
                    save(boomParticle(), "Balls/images/boomparticle.png") &&
                    save(ball(QColor("#E04040")), "Balls/images/redball.png") &&
                    save(ball(QColor("#40B040")), "Balls/images/greenball.png") &&
                    save(ball(QColor("#4070E0")), "Balls/images/blueball.png") &&
                    save(ball(QColor("#E8C020")), "Balls/images/yellowball.png");
    return ok ? 0 : 1;
}
