// Draws the controls' own pictures: the spin field's arrow, the clock of the date-time fields, the
// measuring and adapter marks of the status strip and the measurement page's buttons.
// Built with -DDORRIK_BUILD_ART=ON; `cmake --build <build> --target redraw-art` redraws every
// shipped picture (see scripts/CMakeLists.txt).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor Dark("#1D2B39");
const QColor Accent("#4F7AA8");
const QColor Light("#F5F5F0");

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A triangle pointing up; rotated by its users to point down.
QImage upArrow()
{
    QImage image = canvas(40, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(20, 3);
    path.lineTo(37, 21);
    path.lineTo(3, 21);
    path.closeSubpath();
    p.setPen(QPen(Dark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Accent);
    p.drawPath(path);
    return image;
}

QImage clocks()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(24, 24);
    p.setPen(QPen(Dark, 3));
    p.setBrush(Light);
    p.drawEllipse(centre, 21, 21);
    p.setPen(QPen(Dark, 2, Qt::SolidLine, Qt::RoundCap));
    for (int hour = 0; hour < 12; ++hour) {
        const qreal angle = qDegreesToRadians(hour * 30.0);
        const QPointF dir(qSin(angle), -qCos(angle));
        p.drawLine(centre + dir * 16, centre + dir * 19);
    }
    p.setPen(QPen(Dark, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -13));
    p.setPen(QPen(Accent, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(9, 5));
    return image;
}

// A pulse over a baseline: the status strip's sign that the instrument measures.
QImage measureIndicator()
{
    QImage image = canvas(32, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(1, 14);
    path.lineTo(9, 14);
    path.lineTo(13, 3);
    path.lineTo(18, 21);
    path.lineTo(22, 10);
    path.lineTo(24, 14);
    path.lineTo(31, 14);
    p.setPen(QPen(Light, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return image;
}

// A mains plug.
QImage socketPower()
{
    QImage image = canvas(32, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Light);
    p.drawRoundedRect(QRectF(8, 6, 16, 12), 3, 3);
    p.drawRect(QRectF(11, 1, 3, 6));
    p.drawRect(QRectF(18, 1, 3, 6));
    p.setPen(QPen(Light, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 18), QPointF(16, 23));
    return image;
}

QImage startMeasure()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(14, 8);
    path.lineTo(40, 24);
    path.lineTo(14, 40);
    path.closeSubpath();
    p.setPen(QPen(Dark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor("#3C9A4B"));
    p.drawPath(path);
    return image;
}

QImage stopMeasure()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Dark, 2));
    p.setBrush(QColor("#C0392B"));
    p.drawRoundedRect(QRectF(10, 10, 28, 28), 3, 3);
    return image;
}

// Rows of a list.
QImage list()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 4; ++row) {
        const qreal y = 10 + row * 9.5;
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawEllipse(QPointF(9, y), 3, 3);
        p.setPen(QPen(Dark, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, y), QPointF(41, y));
    }
    return image;
}

// A damped echo on a grid line.
QImage signal()
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Accent, 1));
    p.drawLine(QPointF(3, 24), QPointF(45, 24));
    QPainterPath path;
    path.moveTo(3, 24);
    for (int x = 0; x <= 42; ++x) {
        const qreal envelope = qExp(-qPow((x - 16) / 9.0, 2));
        path.lineTo(3 + x, 24 - 18 * envelope * qSin(x * 1.1));
    }
    p.setPen(QPen(Dark, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("buttons"));
    const bool ok = upArrow().save(dir.filePath(QStringLiteral("upEditArrow.png"))) &&
                    clocks().save(dir.filePath(QStringLiteral("buttons/clocks.png"))) &&
                    measureIndicator().save(dir.filePath(QStringLiteral("measureindicator.png"))) &&
                    socketPower().save(dir.filePath(QStringLiteral("socketPower.png"))) &&
                    startMeasure().save(dir.filePath(QStringLiteral("buttons/startmeasure.png"))) &&
                    stopMeasure().save(dir.filePath(QStringLiteral("buttons/stopmeasure.png"))) &&
                    list().save(dir.filePath(QStringLiteral("buttons/list.png"))) &&
                    signal().save(dir.filePath(QStringLiteral("buttons/signal.png")));
    return ok ? 0 : 1;
}
