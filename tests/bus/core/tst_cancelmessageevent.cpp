#include "cancelmessageevent.h"

#include <QtTest>

class tst_CancelMessageEvent : public QObject
{
    Q_OBJECT
private slots:
    void freshEventIsNotCancelled();
    void copyKeepsFlagButNotParent_data();
    void copyKeepsFlagButNotParent();
};

void tst_CancelMessageEvent::freshEventIsNotCancelled()
{
    CancelMessageEvent event;
    QVERIFY(!event.cancel());
    QVERIFY(event.setProperty("cancel", true));
    QVERIFY(event.cancel());
}

void tst_CancelMessageEvent::copyKeepsFlagButNotParent_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("not cancelled") << false;
}

void tst_CancelMessageEvent::copyKeepsFlagButNotParent()
{
    QFETCH(bool, cancel);
    QObject parent;
    auto *original = new CancelMessageEvent(&parent);
    original->setCancel(cancel);
    const CancelMessageEvent copy(*original);
    QCOMPARE(copy.cancel(), cancel);
    QCOMPARE(copy.parent(), nullptr);
    QCOMPARE(original->parent(), &parent);
}

QTEST_GUILESS_MAIN(tst_CancelMessageEvent)
#include "tst_cancelmessageevent.moc"
