#pragma once

#include "model/enumtraits.h"

#include <QStringList>
#include <QTest>

// Checks that an enumeration lists exactly `expected` as raw values, in declaration order, and
// that every raw value converts back to its case.
template<typename E>
void verifyRawValues(const QStringList &expected)
{
    const QList<E> cases = allCases<E>();
    QCOMPARE(cases.size(), expected.size());
    for (qsizetype i = 0; i < cases.size(); ++i) {
        QCOMPARE(qsizetype(cases.at(i)), i);
        QCOMPARE(rawValue(cases.at(i)), expected.at(i));
        QVERIFY(enumFromRawValue<E>(expected.at(i)) == cases.at(i));
    }
}
