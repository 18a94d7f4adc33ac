// Draws the pictures of the document viewers and the calculator: the two document icons, the
// calculator's icon, its key border, its display background and its minimize key.
// Built with -DDORRIK_BUILD_ART=ON; `cmake --build <build> --target redraw-art` redraws every
// shipped picture (see scripts/CMakeLists.txt).
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

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

// A sheet with a folded corner, lines of text and a coloured band naming its kind.
QImage documentIcon(const QColor &band, const QString &kind)
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(12, 4);
    sheet.lineTo(42, 4);
    sheet.lineTo(54, 16);
    sheet.lineTo(54, 60);
    sheet.lineTo(12, 60);
    sheet.closeSubpath();
    p.setPen(QPen(Dark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Light);
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(42, 4);
    fold.lineTo(42, 16);
    fold.lineTo(54, 16);
    p.setBrush(QColor("#D8DEE6"));
    p.drawPath(fold);
    p.setPen(QPen(QColor("#8A97A6"), 2, Qt::SolidLine, Qt::RoundCap));
    for (int y = 22; y <= 30; y += 4)
        p.drawLine(18, y, 48, y);
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRoundedRect(QRectF(6, 36, 52, 18), 3, 3);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(6, 36, 52, 18), Qt::AlignCenter, kind);
    return image;
}

QImage calculatorIcon()
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Dark, 2));
    p.setBrush(QColor("#5a7d9d"));
    p.drawRoundedRect(QRectF(10, 3, 44, 58), 5, 5);
    p.setBrush(QColor("#dae7e7"));
    p.drawRoundedRect(QRectF(15, 8, 34, 13), 2, 2);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const bool operation = column == 3;
            p.setBrush(operation ? QColor("#F07746") : QColor("#EEEEEE"));
            p.drawRoundedRect(QRectF(15 + column * 9, 26 + row * 8.5, 7, 6.5), 1.5, 1.5);
        }
    }
    return image;
}

// A light line with a soft shadow under it, stretched across the top of a key.
QImage buttonBorder()
{
    QImage image = canvas(8, 4);
    QPainter p(&image);
    p.fillRect(0, 0, 8, 1, QColor(255, 255, 255, 110));
    p.fillRect(0, 1, 8, 1, QColor(255, 255, 255, 50));
    p.fillRect(0, 2, 8, 2, QColor(0, 0, 0, 20));
    return image;
}

// A light pane, brighter at the top, darker towards the number.
QImage displayBackground()
{
    QImage image = canvas(16, 128);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, 128);
    gradient.setColorAt(0, QColor(255, 255, 255, 150));
    gradient.setColorAt(0.6, QColor(255, 255, 255, 30));
    gradient.setColorAt(1, QColor(0, 40, 60, 40));
    p.fillRect(image.rect(), gradient);
    return image;
}

// A window sinking to a bar.
QImage minimizeKey()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor("#EEEEEE"), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(16, 5), QPointF(16, 19));
    p.drawLine(QPointF(10, 13), QPointF(16, 19));
    p.drawLine(QPointF(22, 13), QPointF(16, 19));
    p.drawLine(QPointF(6, 26), QPointF(26, 26));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("viewers"));
    dir.mkpath(QStringLiteral("apps/Calculator"));
    const bool ok =
        documentIcon(QColor("#C0392B"), QStringLiteral("PDF"))
            .save(dir.filePath(QStringLiteral("viewers/pdficon.png"))) &&
        documentIcon(Accent, QStringLiteral("HTML"))
            .save(dir.filePath(QStringLiteral("viewers/htmlicon.png"))) &&
        calculatorIcon().save(dir.filePath(QStringLiteral("apps/Calculator/icon.png"))) &&
        buttonBorder().save(dir.filePath(QStringLiteral("apps/Calculator/buttonborder.png"))) &&
        displayBackground().save(
            dir.filePath(QStringLiteral("apps/Calculator/displaybackground.png"))) &&
        minimizeKey().save(dir.filePath(QStringLiteral("apps/Calculator/minimize.png")));
    return ok ? 0 : 1;
}
