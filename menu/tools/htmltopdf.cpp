// Build-time tool: writes an HTML page as a PDF file through Qt's text document and PDF writer,
// so that the shipped guide exists in both forms from one source.
//   tavrin-htmltopdf <input.html> <output.pdf> [font.ttf ...]
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() < 3) {
        err << "usage: tavrin-htmltopdf <input.html> <output.pdf> [font.ttf ...]\n";
        return 2;
    }
    QString family;
    for (int i = 3; i < arguments.size(); ++i) {
        const int id = QFontDatabase::addApplicationFont(arguments.at(i));
        if (id >= 0 && family.isEmpty())
            family = QFontDatabase::applicationFontFamilies(id).value(0);
    }

    QFile input(arguments.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        err << "can't read " << arguments.at(1) << "\n";
        return 1;
    }
    const QByteArray bytes = input.readAll();
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);

    QTextDocument document;
    if (!family.isEmpty())
        document.setDefaultFont(QFont(family, 12));
    document.setHtml(decoder.isValid() ? decoder.decode(bytes) : QString::fromUtf8(bytes));

    QPdfWriter writer(arguments.at(2));
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    writer.setCreator(QStringLiteral("tavrin-htmltopdf"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    // The text document keeps a margin of its own (2 cm) around the printed text.
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setResolution(300);
    document.print(&writer);
    return QFile::exists(arguments.at(2)) ? 0 : 1;
}
