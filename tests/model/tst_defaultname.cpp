#include "model/defaultname.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestDefaultName : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names();
};

void TestDefaultName::names()
{
    QCOMPARE(DefaultName::panel(2), u"Panel 2"_s);
    QCOMPARE(DefaultName::tab(10), u"Tab 10"_s);
    QCOMPARE(DefaultName::group(1234567), u"Group 1234567"_s); // plain decimal, no grouping
    QCOMPARE(DefaultName::firstTab(), u"Main"_s);
}

QTEST_APPLESS_MAIN(TestDefaultName)
#include "tst_defaultname.moc"
