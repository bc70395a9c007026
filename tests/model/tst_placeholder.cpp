#include "testregistry.h"
#include <QTest>
class TestPlaceholder : public QObject { Q_OBJECT private slots: void builds() { QVERIFY(true); } };
VENDRIX_TEST(TestPlaceholder)
#include "tst_placeholder.moc"
