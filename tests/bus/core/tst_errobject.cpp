#include "errobject.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>
#include <mutex>
#include <thread>

// Records what reaches the owner: the texts of `error`, the thread each arrived on, and the
// interleaving with `errorCountChanged`.
class ErrorRecorder : public QObject
{
public:
    explicit ErrorRecorder(ErrObject *object)
    {
        connect(object, &ErrObject::errorCountChanged, this,
                [this, object] { events << QStringLiteral("count %1").arg(object->errorCount()); });
        connect(object, &ErrObject::error, this, [this](const QString &text) {
            events << QStringLiteral("error %1").arg(text);
            texts << text;
            threads << QThread::currentThread();
        });
    }
    QStringList events;
    QStringList texts;
    QList<QThread *> threads;
};

// A subclass that extends the virtual, as links do.
class CountingErrObject : public ErrObject
{
public:
    void setErrorString(const QString &text) override
    {
        ++overrideCalls;
        ErrObject::setErrorString(text);
    }
    int overrideCalls = 0;
};

class tst_ErrObject : public QObject
{
    Q_OBJECT
private slots:
    void freshObject();
    void errorsOnOwnThread();
    void clearErrorAfterError();
    void clearErrorGoesThroughVirtual();
    void errorsFromWorkerArriveInOrderOnOwnerThread();
    void errorFromWorkerAfterOwnerDeleted();
    void eachThreadReadsItsOwnErrorAtOnce();
    void propertiesForQml();
};

void tst_ErrObject::freshObject()
{
    ErrObject object;
    QVERIFY(object.errorString().isNull());
    QCOMPARE(object.errorCount(), quint64(0));
}

void tst_ErrObject::errorsOnOwnThread()
{
    ErrObject object;
    ErrorRecorder recorder(&object);
    object.setErrorString(QStringLiteral("first"));
    object.setErrorString(QStringLiteral("second"));
    QCOMPARE(object.errorString(), QStringLiteral("second"));
    QCOMPARE(object.errorCount(), quint64(2));
    // The count is already up when `error` is emitted.
    QCOMPARE(recorder.events, QStringList({"count 1", "error first", "count 2", "error second"}));
}

void tst_ErrObject::clearErrorAfterError()
{
    ErrObject object;
    object.setErrorString(QStringLiteral("broken"));
    ErrorRecorder recorder(&object);
    object.clearError();
    QVERIFY(!object.errorString().isNull());
    QVERIFY(object.errorString().isEmpty());
    QCOMPARE(object.errorCount(), quint64(2));
    QCOMPARE(recorder.texts, QStringList({QString()}));
}

void tst_ErrObject::clearErrorGoesThroughVirtual()
{
    CountingErrObject object;
    object.clearError();
    QCOMPARE(object.overrideCalls, 1);
}

void tst_ErrObject::errorsFromWorkerArriveInOrderOnOwnerThread()
{
    CountingErrObject object;
    ErrorRecorder recorder(&object);
    QStringList sent;
    for (int i = 1; i <= 50; ++i)
        sent << QStringLiteral("worker error %1").arg(i);

    std::unique_ptr<QThread> worker(QThread::create([&object, &sent] {
        for (const QString &text : std::as_const(sent))
            object.setErrorString(text);
    }));
    worker->start();
    QVERIFY(worker->wait(5000));

    // Nothing changes until the owner's event loop runs.
    QVERIFY(object.errorString().isNull());
    QCOMPARE(object.errorCount(), quint64(0));
    QVERIFY(recorder.texts.isEmpty());

    QTRY_COMPARE_WITH_TIMEOUT(object.errorCount(), quint64(sent.size()), 5000);
    QCOMPARE(recorder.texts, sent);
    QCOMPARE(object.errorString(), sent.last());
    for (QThread *thread : std::as_const(recorder.threads))
        QCOMPARE(thread, QThread::currentThread());
    // The posted call re-enters the virtual on the owner's thread.
    QCOMPARE(object.overrideCalls, 2 * sent.size());
}

void tst_ErrObject::eachThreadReadsItsOwnErrorAtOnce()
{
    ErrObject object;
    ErrorRecorder recorder(&object);
    object.setErrorString(QStringLiteral("owner's"));
    QStringList seen;
    std::mutex seenMutex;
    auto worker = [&](const QString &name) {
        QString before = object.errorString();
        object.setErrorString(name + QStringLiteral(" failed"));
        const QString after = object.errorString();
        std::lock_guard<std::mutex> lock(seenMutex);
        seen << name + QStringLiteral(": ") + before + QStringLiteral(" -> ") + after;
    };
    std::thread first(worker, QStringLiteral("first"));
    first.join();
    std::thread second(worker, QStringLiteral("second"));
    second.join();

    // Before its own report a worker sees the last applied text; after it, its own.
    QCOMPARE(seen,
             QStringList({"first: owner's -> first failed", "second: owner's -> second failed"}));
    // The owner's text changes only when its event loop applies the queued reports.
    QCOMPARE(object.errorString(), QStringLiteral("owner's"));
    QTRY_COMPARE(object.errorCount(), quint64(3));
    QCOMPARE(object.errorString(), QStringLiteral("second failed"));
    QCOMPARE(recorder.texts, QStringList({"owner's", "first failed", "second failed"}));
    QCOMPARE(recorder.threads, QList<QThread *>(3, QThread::currentThread()));
}

void tst_ErrObject::errorFromWorkerAfterOwnerDeleted()
{
    auto object = std::make_unique<ErrObject>();
    ErrObject *raw = object.get();
    std::unique_ptr<QThread> worker(
        QThread::create([raw] { raw->setErrorString(QStringLiteral("late")); }));
    worker->start();
    QVERIFY(worker->wait(5000));
    object.reset();
    // The posted call must be dropped with its object, not run on freed memory.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

void tst_ErrObject::propertiesForQml()
{
    ErrObject object;
    QSignalSpy errorSpy(&object, &ErrObject::error);
    QVERIFY(QMetaObject::invokeMethod(&object, "setErrorString",
                                      Q_ARG(QString, QStringLiteral("by name"))));
    QCOMPARE(errorSpy.count(), 1);
    QCOMPARE(object.property("errorString").toString(), QStringLiteral("by name"));
    QCOMPARE(object.property("errorCount").value<quint64>(), quint64(1));
    QString viaInvokable;
    QVERIFY(QMetaObject::invokeMethod(&object, "errorString", Q_RETURN_ARG(QString, viaInvokable)));
    QCOMPARE(viaInvokable, QStringLiteral("by name"));
}

QTEST_GUILESS_MAIN(tst_ErrObject)
#include "tst_errobject.moc"
