// Draws the controls' own pictures: the spin field's arrow and the clock of the date-time
// fields. Not part of the build; run by hand after changing a picture:
//   g++ -std=c++17 -fPIC scripts/drawcontrolimages.cpp $(pkg-config --cflags --libs Qt6Gui) \
//       -o /tmp/drawcontrolimages && QT_QPA_PLATFORM=offscreen /tmp/drawcontrolimages \
//       share/menu/qml/images
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

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("buttons"));
    const bool ok = upArrow().save(dir.filePath(QStringLiteral("upEditArrow.png"))) &&
                    clocks().save(dir.filePath(QStringLiteral("buttons/clocks.png")));
    return ok ? 0 : 1;
}
