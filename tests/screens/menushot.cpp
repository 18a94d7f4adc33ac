// menu-shot: walks the menu's scenes against the simulated instrument at 800x600 and 640x480
// and saves a picture of each as <folder>/<width>x<height>/<scene>.png, for a reviewer. Then
// reads every picture back: a missing one, or one of a single flat colour, fails the run.
//
//   menu-shot [--only PATTERN]... [--except PATTERN]... [--size WxH]... [--list] [folder]
//
// PATTERN is a wildcard over the pictures' names ("archive-*", "tree-*Frame"); --only takes the
// pictures any of them matches (all without one), --except leaves out those any of them
// matches. --size takes the pictures of that size only (of every size without one). A picture that
// goes on from the scene before it has that one walked first, unsaved.
// --list writes the names of the pictures it would make and makes none.
#include "menushot.h"
#include "menudriver.h"
#include "modbusbytes.h"
#include "qmlwarningrule.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>

#include <cstdio>

using namespace MenuShot;

namespace {

const QList<QSize> allSizes{QSize(800, 600), QSize(640, 480)};

// A wildcard as a whole-name expression: '*' any run of characters, '?' one, the rest itself.
QRegularExpression wildcard(const QString &pattern)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression));
}

struct Selection
{
    QList<QRegularExpression> only;
    QList<QRegularExpression> except;

    bool takes(const QByteArray &name) const
    {
        const QString text = QString::fromLatin1(name);
        const auto matches = [&](const QRegularExpression &e) { return e.match(text).hasMatch(); };
        return (only.isEmpty() || std::any_of(only.cbegin(), only.cend(), matches)) &&
               std::none_of(except.cbegin(), except.cend(), matches);
    }
};

bool takenAt(const Shot &shot, const QSize &size)
{
    return shot.sizes == Sizes::Both || size == QSize(640, 480);
}

// The shots of `run` walked at `size` for the selection, in order: each one asked for, and the
// ones it goes on from back to the one that starts from the fresh menu.
QList<int> walked(const Run &run, const QSize &size, const Selection &selection)
{
    QList<bool> needed(run.shots.size(), false);
    for (int i = 0; i < run.shots.size(); ++i) {
        if (!takenAt(run.shots[i], size) || !selection.takes(run.shots[i].name))
            continue;
        for (int j = i; j >= 0 && !needed[j]; --j) {
            needed[j] = takenAt(run.shots[j], size);
            if (run.shots[j].standalone)
                break;
        }
    }
    QList<int> indexes;
    for (int i = 0; i < needed.size(); ++i) {
        if (needed[i])
            indexes.append(i);
    }
    return indexes;
}

QString pictureName(const QSize &size, const QByteArray &shot)
{
    return QStringLiteral("%1x%2/%3.png")
        .arg(size.width())
        .arg(size.height())
        .arg(QLatin1String(shot));
}

bool flatColour(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

// The tree with everything it can show: the heat channel, a failure, a battery.
void prepareInstrument(TavrinInstrument &instrument)
{
    instrument.setGeneration(2);
    instrument.setHeatChannel(true);
    instrument.setRegisters(300751, ModbusBytes::fromUInt16(0x0005));
    instrument.setRegisters(300746, ModbusBytes::fromUInt16(1));
    instrument.setRegisters(300747, ModbusBytes::fromUInt16(64));
    instrument.setRegisters(300748, ModbusBytes::fromUInt16(90));
    instrument.setRegisters(400202, ModbusBytes::fromFloat(0.5f));
    instrument.setRegisters(400204, ModbusBytes::fromFloat(1.25f));
    instrument.setRegisters(403101, ModbusBytes::fromUInt16(2));
}

int usage()
{
    std::fprintf(stderr,
                 "usage: menu-shot [--only PATTERN]... [--except PATTERN]... [--size WxH]..."
                 " [--list] [folder]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString folder = QStringLiteral("shots");
    Selection selection;
    QStringList onlyPatterns;
    QList<QSize> sizes;
    bool list = false;
    const QStringList arguments = app.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--only") || argument == QLatin1String("--except")) {
            if (++i == arguments.size())
                return usage();
            (argument == QLatin1String("--only") ? selection.only : selection.except)
                .append(wildcard(arguments[i]));
            if (argument == QLatin1String("--only"))
                onlyPatterns.append(arguments[i]);
        } else if (argument == QLatin1String("--size")) {
            if (++i == arguments.size())
                return usage();
            const QStringList wh = arguments[i].split(QLatin1Char('x'));
            const QSize size = wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
            if (!allSizes.contains(size))
                return usage();
            sizes.append(size);
        } else if (argument == QLatin1String("--list")) {
            list = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return usage();
        } else {
            folder = argument;
        }
    }

    if (sizes.isEmpty())
        sizes = allSizes;
    const QList<Run> runs = scenes();
    // A pattern that takes no picture is a shard that lost its scenes: say so rather than pass.
    for (int i = 0; i < onlyPatterns.size(); ++i) {
        bool any = false;
        for (const Run &run : runs) {
            for (const Shot &shot : run.shots)
                any = any || selection.only[i].match(QString::fromLatin1(shot.name)).hasMatch();
        }
        if (!any) {
            std::fprintf(stderr, "menu-shot: no picture is named like %s\n",
                         qPrintable(onlyPatterns[i]));
            return 2;
        }
    }

    int failures = 0;
    QStringList written;
    for (const QSize &size : sizes) {
        const QString dir =
            QStringLiteral("%1/%2x%3").arg(folder).arg(size.width()).arg(size.height());
        for (const Run &run : runs) {
            const QList<int> shots = walked(run, size, selection);
            if (shots.isEmpty())
                continue;
            if (list) {
                for (int i : shots) {
                    if (selection.takes(run.shots[i].name))
                        std::printf("%s\n", qPrintable(pictureName(size, run.shots[i].name)));
                }
                continue;
            }
            QDir().mkpath(dir);
            QElapsedTimer took;
            took.start();
            MenuDriver menu(size);
            prepareInstrument(menu.instrument());
            if (run.prepare)
                run.prepare(menu.instrument());
            if (!menu.start()) {
                std::fprintf(stderr, "menu-shot: %s\n", qPrintable(menu.error()));
                return 1;
            }
            if (run.setup && !run.setup(menu)) {
                std::fprintf(stderr, "menu-shot: the run %s did not set up\n",
                             run.name.constData());
                ++failures;
            }
            for (int i : shots) {
                const Shot &shot = run.shots[i];
                if (!setLanguage(menu, shot.language) || !shot.walk(menu)) {
                    std::fprintf(stderr, "menu-shot: scene %s did not come about\n",
                                 shot.name.constData());
                    ++failures;
                }
                if (!selection.takes(shot.name))
                    continue;
                stillPicture(menu, 100);
                const QString file = folder + QLatin1Char('/') + pictureName(size, shot.name);
                if (!menu.grab().save(file))
                    std::fprintf(stderr, "menu-shot: can't write %s\n", qPrintable(file));
                written.append(file);
            }
            // The next run's menu starts in English.
            setLanguage(menu, Language::English);
            for (const QString &request : menu.unmappedRequests()) {
                std::fprintf(stderr, "menu-shot: request outside the register map: %s\n",
                             qPrintable(request));
                ++failures;
            }
            dropOverlay();
            std::printf("menu-shot: run %s at %dx%d took %.1f s\n", run.name.constData(),
                        size.width(), size.height(), double(took.elapsed()) / 1000);
        }
    }
    if (list)
        return 0;
    for (const QString &warning : QmlWarningRule::unreported()) {
        std::fprintf(stderr, "menu-shot: QML warning of the menu: %s\n", qPrintable(warning));
        ++failures;
    }

    for (const QString &file : std::as_const(written)) {
        const QImage image(file);
        if (image.isNull()) {
            std::fprintf(stderr, "menu-shot: %s is missing\n", qPrintable(file));
            ++failures;
        } else if (flatColour(image)) {
            std::fprintf(stderr, "menu-shot: %s is one flat colour\n", qPrintable(file));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(file));
        }
    }
    return failures == 0 ? 0 : 1;
}
