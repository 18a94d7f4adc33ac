#include "touchscreenhelper.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <memory>

namespace {

// The touch device and calibration file named by the environment for the helpers constructed
// while it lives.
// The calibration file is put back as it was: a helper that calibrates must never fall back to
// the system's own file.
struct TouchEnvironment
{
    explicit TouchEnvironment(const QString &device, const QString &calibration = QString())
        : m_calibration(qgetenv("TSLIB_CALIBFILE"))
    {
        qputenv("TSLIB_TSDEVICE", QFile::encodeName(device));
        if (!calibration.isEmpty())
            qputenv("TSLIB_CALIBFILE", QFile::encodeName(calibration));
    }
    ~TouchEnvironment()
    {
        qunsetenv("TSLIB_TSDEVICE");
        qputenv("TSLIB_CALIBFILE", m_calibration);
    }
    QByteArray m_calibration;
};

qint64 processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

QByteArray record(quint16 type, quint16 code, qint32 value)
{
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return QByteArray(reinterpret_cast<const char *>(&event), sizeof event);
}

QByteArray touchAt(int x, int y, int pressure)
{
    return record(EV_ABS, ABS_X, x) + record(EV_ABS, ABS_Y, y) +
           record(EV_ABS, ABS_PRESSURE, pressure) + record(EV_KEY, BTN_TOUCH, 1) +
           record(EV_SYN, SYN_REPORT, 0);
}

QByteArray release()
{
    return record(EV_ABS, ABS_PRESSURE, 0) + record(EV_KEY, BTN_TOUCH, 0) +
           record(EV_SYN, SYN_REPORT, 0);
}

using Points = QList<QList<int>>; // raw x, raw y, screen x, screen y

} // namespace

class tst_TouchScreenHelper : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void paths();
    void calibration_data();
    void calibration();
    void pointOutsideTheFiveIgnored();
    void fitBeyondFixedPointSaturates();
    void averaging();
    void readsTheDevice();
    void destructionWhileWaiting();
    void calibrationFileWrittenAndReadBack();
    void calibrationFileNotWritable();
    void endOfFileWaitsBeforeReopening();

private:
    QTemporaryDir m_dir;
    QString m_missing;
    QString m_calibration;
};

void tst_TouchScreenHelper::init()
{
    // A write to a device whose reader has just gone is an error to see, not a signal to die of.
    ::signal(SIGPIPE, SIG_IGN);
    // No test reads a real touch screen by accident.
    m_missing = m_dir.filePath(QStringLiteral("no-such-device"));
    qputenv("TSLIB_TSDEVICE", QFile::encodeName(m_missing));
    // Nor writes the system's calibration, nor reads one a previous case left.
    m_calibration = m_dir.filePath(QStringLiteral("pointercal"));
    QFile::remove(m_calibration);
    qputenv("TSLIB_CALIBFILE", QFile::encodeName(m_calibration));
}

void tst_TouchScreenHelper::paths()
{
    {
        TouchEnvironment environment(m_missing, QStringLiteral("/tmp/pointercal"));
        TouchScreenHelper helper;
        QCOMPARE(helper.touchDevice(), m_missing);
        QCOMPARE(helper.calibrationFile(), QStringLiteral("/tmp/pointercal"));
        QTest::qWait(20);
        QVERIFY(!helper.touchScreenExists());
    }
    qunsetenv("TSLIB_TSDEVICE");
    qunsetenv("TSLIB_CALIBFILE");
    TouchScreenHelper helper;
    QCOMPARE(helper.touchDevice(), QStringLiteral("/dev/input/event1"));
    QCOMPARE(helper.calibrationFile(), QStringLiteral("/etc/pointercal"));
}

void tst_TouchScreenHelper::calibration_data()
{
    QTest::addColumn<Points>("points");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<int>>("coefficients"); // expected, within 1/1000 of a unit
    QTest::addColumn<QList<int>>("screenAt");     // raw x, raw y, screen x, screen y to check

    const QList<QList<int>> targets{{50, 50}, {590, 50}, {590, 430}, {50, 430}, {320, 240}};
    Points identity;
    Points scaled;
    Points collinear;
    for (const QList<int> &t : targets) {
        identity << QList<int>{t[0], t[1], t[0], t[1]};
        // A 12-bit controller, x flipped: raw = 4000 - 6x, 500 + 7y.
        scaled << QList<int>{4000 - 6 * t[0], 500 + 7 * t[1], t[0], t[1]};
        collinear << QList<int>{t[0], t[0], t[0], t[1]};
    }
    QTest::newRow("identity") << identity << 0 << QList<int>{0, 65536, 0, 0, 0, 65536, 65536}
                              << QList<int>{100, 200, 100, 200};
    QTest::newRow("scaled and flipped")
        << scaled << 0 << QList<int>{} << QList<int>{4000 - 6 * 123, 500 + 7 * 321, 123, 321};
    QTest::newRow("collinear points") << collinear << -1 << QList<int>(7, 0) << QList<int>{};
}

void tst_TouchScreenHelper::calibration()
{
    QFETCH(Points, points);
    QFETCH(int, result);
    QFETCH(QList<int>, coefficients);
    QFETCH(QList<int>, screenAt);

    TouchScreenHelper helper;
    QSignalSpy completed(&helper, &TouchScreenHelper::calibrationCompleted);
    for (int i = 0; i < points.size(); ++i)
        helper.setCalibrationPoint(i, points[i][0], points[i][1], points[i][2], points[i][3]);
    QCOMPARE(helper.performCalibration(), result);
    QCOMPARE(completed.count(), result == 0 ? 1 : 0);

    const std::array<int, 7> a = helper.coefficients();
    for (int i = 0; i < coefficients.size(); ++i)
        QVERIFY2(qAbs(a[i] - coefficients[i]) <= 65,
                 qPrintable(QStringLiteral("a[%1] = %2").arg(i).arg(a[i])));
    if (!screenAt.isEmpty()) {
        // How a consumer of the coefficients maps a raw point to the screen.
        const double x = (a[0] + double(a[1]) * screenAt[0] + double(a[2]) * screenAt[1]) / a[6];
        const double y = (a[3] + double(a[4]) * screenAt[0] + double(a[5]) * screenAt[1]) / a[6];
        QVERIFY2(qAbs(x - screenAt[2]) < 1 && qAbs(y - screenAt[3]) < 1,
                 qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
    }
}

void tst_TouchScreenHelper::pointOutsideTheFiveIgnored()
{
    TouchScreenHelper helper;
    const QList<QList<int>> targets{{50, 50}, {590, 50}, {590, 430}, {50, 430}, {320, 240}};
    for (int i = 0; i < 5; ++i)
        helper.setCalibrationPoint(i, targets[i][0], targets[i][1], targets[i][0], targets[i][1]);
    helper.setCalibrationPoint(5, 0, 0, 9999, 9999);
    helper.setCalibrationPoint(-1, 0, 0, 9999, 9999);
    QCOMPARE(helper.performCalibration(), 0);
    QVERIFY(qAbs(helper.coefficients()[1] - 65536) <= 65);
    QVERIFY(qAbs(helper.coefficients()[0]) <= 65);
}

void tst_TouchScreenHelper::fitBeyondFixedPointSaturates()
{
    // A scale of 20,000,000 screen units per raw unit is far beyond 16.16 fixed point.
    TouchScreenHelper helper;
    const QList<QList<int>> raw{{0, 0}, {100, 0}, {0, 100}, {100, 100}, {50, 50}};
    for (int i = 0; i < 5; ++i)
        helper.setCalibrationPoint(i, raw[i][0], raw[i][1], raw[i][0] * 20000000,
                                   -raw[i][1] * 20000000);
    QCOMPARE(helper.performCalibration(), 0);
    QCOMPARE(helper.coefficients()[1], std::numeric_limits<int>::max());
    QCOMPARE(helper.coefficients()[5], std::numeric_limits<int>::min());
}

void tst_TouchScreenHelper::averaging()
{
    TouchScreenHelper helper;
    QSignalSpy moved(&helper, &TouchScreenHelper::rawPosChanged);
    helper.onTsPos(1, 1);
    helper.reset();
    for (int i = 1; i <= 4; ++i)
        helper.onTsPos(10 * i, 100 * i);
    QCOMPARE(moved.count(), 0);
    helper.onTsPos(51, 501);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(helper.rawX(), 30); // (10 + 20 + 30 + 40 + 51) / 5, truncated
    QCOMPARE(helper.rawY(), 300);
    // From now on each sample reports the moving average.
    helper.onTsPos(60, 600);
    QCOMPARE(helper.rawX(), 40);
    QCOMPARE(helper.rawY(), 400);

    helper.setBufferSize(0);
    QCOMPARE(helper.bufferSize(), 5);
    helper.setBufferSize(2);
    helper.onTsPos(0, 0);
    QCOMPARE(helper.rawX(), 30);
    QCOMPARE(helper.rawY(), 300);
}

void tst_TouchScreenHelper::readsTheDevice()
{
    const QString fifo = m_dir.filePath(QStringLiteral("touch"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    TouchEnvironment environment(fifo);
    TouchScreenHelper helper;
    helper.setBufferSize(2);
    QTRY_VERIFY_WITH_TIMEOUT(helper.touchScreenExists(), 5000);

    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    auto send = [fd](const QByteArray &bytes) {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    };
    QVERIFY(send(touchAt(1000, 2000, 40)));
    // A second sample split inside a record, as a read may see it.
    const QByteArray second = touchAt(1100, 2200, 60);
    QVERIFY(send(second.left(30)));
    QTest::qWait(20);
    QVERIFY(send(second.mid(30)));
    QTRY_COMPARE_WITH_TIMEOUT(helper.rawX(), 1050, 5000);
    QCOMPARE(helper.rawY(), 2100);
    QVERIFY(helper.pressed());
    QCOMPARE(helper.pressure(), 60);

    QVERIFY(send(release()));
    QTRY_VERIFY_WITH_TIMEOUT(!helper.pressed(), 5000);
    QCOMPARE(helper.pressure(), 0);
    QCOMPARE(helper.rawX(), 1050);

    // The writer goes and comes back: the reader opens the device again. Until it has, it may
    // still hold the device it saw end on, and close it under a new writer (EPIPE): write again.
    ::close(fd);
    const QByteArray third = touchAt(3000, 4000, 10) + touchAt(3000, 4000, 10);
    bool seen = false;
    for (int attempt = 0; attempt < 5 && !seen; ++attempt) {
        const int again = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
        QVERIFY(again >= 0);
        if (::write(again, third.constData(), size_t(third.size())) == ssize_t(third.size()))
            seen = QTest::qWaitFor([&] { return helper.rawX() == 3000; }, 2000);
        ::close(again);
    }
    QVERIFY(seen);
}

void tst_TouchScreenHelper::destructionWhileWaiting()
{
    const QString fifo = m_dir.filePath(QStringLiteral("idle"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    TouchEnvironment environment(fifo);
    auto helper = std::make_unique<TouchScreenHelper>();
    QTRY_VERIFY_WITH_TIMEOUT(helper->touchScreenExists(), 5000);
    QVERIFY(helper->isRunning());

    // Woken at once, not at the end of the reader's poll time-out.
    QElapsedTimer clock;
    clock.start();
    helper.reset();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

void tst_TouchScreenHelper::calibrationFileWrittenAndReadBack()
{
    const QList<QList<int>> targets{{50, 50}, {590, 50}, {590, 430}, {50, 430}, {320, 240}};
    std::array<int, 7> fitted{};
    {
        TouchScreenHelper collinear;
        for (int i = 0; i < 5; ++i)
            collinear.setCalibrationPoint(i, targets[i][0], targets[i][0], targets[i][0], 0);
        QCOMPARE(collinear.performCalibration(), -1);
        // A failed fit leaves any stored calibration alone.
        QVERIFY(!QFileInfo::exists(m_calibration));

        TouchScreenHelper helper;
        for (int i = 0; i < 5; ++i)
            helper.setCalibrationPoint(i, 4000 - 6 * targets[i][0], 500 + 7 * targets[i][1],
                                       targets[i][0], targets[i][1]);
        QCOMPARE(helper.performCalibration(), 0);
        fitted = helper.coefficients();
    }
    QFile file(m_calibration);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> words = file.readAll().trimmed().split(' ');
    // The touch library's order: x's raw x and raw y terms, its constant, the same for y, the
    // divisor, then the calibrated area.
    const QList<int> order{1, 2, 0, 4, 5, 3, 6};
    QCOMPARE(words.size(), 9);
    for (int k = 0; k < 7; ++k)
        QCOMPARE(words[k].toInt(), fitted[size_t(order[k])]);
    QCOMPARE(words[7], QByteArray("640"));
    QCOMPARE(words[8], QByteArray("480"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList({"pointercal*"}, QDir::Files), QStringList{"pointercal"});

    // The next start, after the restart that follows a calibration, has it again.
    TouchScreenHelper restarted;
    QCOMPARE(restarted.coefficients(), fitted);
}

void tst_TouchScreenHelper::calibrationFileNotWritable()
{
    // A plain file where the calibration file's folder should be.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QFile block(blocker);
    QVERIFY(block.open(QIODevice::WriteOnly));
    block.close();
    TouchEnvironment environment(m_missing, blocker + "/pointercal");
    TouchScreenHelper helper;
    QSignalSpy completed(&helper, &TouchScreenHelper::calibrationCompleted);
    const QList<QList<int>> targets{{50, 50}, {590, 50}, {590, 430}, {50, 430}, {320, 240}};
    for (int i = 0; i < 5; ++i)
        helper.setCalibrationPoint(i, targets[i][0], targets[i][1], targets[i][0], targets[i][1]);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^can't write the touch-screen calibration to " +
                                            QRegularExpression::escape(blocker) + "/pointercal: "));
    QCOMPARE(helper.performCalibration(), 0);
    QCOMPARE(completed.count(), 1);
}

void tst_TouchScreenHelper::endOfFileWaitsBeforeReopening()
{
    const QString fifo = m_dir.filePath(QStringLiteral("gone"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    TouchEnvironment environment(fifo);
    TouchScreenHelper helper;
    QTRY_VERIFY_WITH_TIMEOUT(helper.touchScreenExists(), 5000);
    // A writer that comes and goes leaves the device at end of file for good.
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    ::close(fd);

    const qint64 cpuBefore = processCpuMs();
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(1000);
    const qint64 cpu = processCpuMs() - cpuBefore;
    // Reopening at once would keep a core busy for the whole second.
    QVERIFY2(cpu < 300,
             qPrintable(QStringLiteral("%1 ms of CPU in %2 ms").arg(cpu).arg(clock.elapsed())));
    QVERIFY(helper.touchScreenExists());
}

QTEST_GUILESS_MAIN(tst_TouchScreenHelper)
#include "tst_touchscreenhelper.moc"
