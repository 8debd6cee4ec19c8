// A display node appears before the system has given it its permissions: the display's owner tries it again
// for a while instead of calling it unusable at once, and reports it once, usable; one that stays refused is
// reported unusable, with the reason, after that while.
#include <QSignalSpy>
#include <QtTest>

#include "hidapi_standin.h"
#include "link/display_owner.h"
#include "link/hidapi_transport.h"
#include "support/rig.h"

using namespace trivo;

namespace {
const std::string kNode = "/dev/hidraw9";
}

class TestPermissionRace : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        standin::reset();
        standin::addDevice({kNode});
        standin::setOpenRefused(kNode, true);
    }

    void reportedOnceUsable()
    {
        HidapiTransport transport;
        DisplayOwner owner(transport);
        QSignalSpy ticks(&owner, &DisplayOwner::monitorTick);
        QStringList shown;
        connect(&owner, &DisplayOwner::label3Changed, this, [&] { shown << owner.label3Text(); });
        // The rights come after the node, by the third try.
        standin::setOpenRefused(kNode, false);
        standin::refuseOpens(kNode, 2);
        owner.DETECT_CON_Timer();
        QVERIFY(test::settle(owner, 20000));
        QCOMPARE(ticks.count(), 1);
        QCOMPARE(ticks.first().at(0).toBool(), true);
        QCOMPARE(owner.state(), LinkState::Connected);
        QCOMPARE(shown, QStringList{kConnectedText});
    }

    void refusedForGoodSaysWhy()
    {
        HidapiTransport transport;
        DisplayOwner owner(transport);
        QSignalSpy ticks(&owner, &DisplayOwner::monitorTick);
        owner.DETECT_CON_Timer();
        QVERIFY(test::settle(owner, 20000));
        QCOMPARE(ticks.count(), 1);
        QCOMPARE(ticks.first().at(0).toBool(), false);
        QCOMPARE(owner.label3Text(), kUnusableText.arg(QStringLiteral("Permission denied")));
        QCOMPARE(owner.displays().size(), std::size_t(1));  // listed all the same
    }
};

QTEST_GUILESS_MAIN(TestPermissionRace)
#include "test_permission_race.moc"
