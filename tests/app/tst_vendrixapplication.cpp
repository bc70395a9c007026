#include "testregistry.h"

#include "app/vendrixapplication.h"
#include "model/errors.h"

#include <QTest>

#include <stdexcept>

class TestVendrixApplication : public QObject
{
    Q_OBJECT

private slots:
    void uncaughtErrorsAreReportedAndDeliveryGoesOn()
    {
        QStringList reported;
        const auto report = [&](const QString &message) { reported.append(message); };
        QVERIFY(VendrixApplication::deliverGuarded([] { return true; }, report));
        QVERIFY(reported.isEmpty());

        QVERIFY(!VendrixApplication::deliverGuarded([]() -> bool { throw ConvertError(QStringLiteral("abc")); }, report));
        QVERIFY(!VendrixApplication::deliverGuarded([]() -> bool { throw std::runtime_error("disk on fire"); }, report));
        QCOMPARE(reported, (QStringList{"'abc' is not a valid integer value", "disk on fire"}));
    }
};

VENDRIX_TEST(TestVendrixApplication)
#include "tst_vendrixapplication.moc"
