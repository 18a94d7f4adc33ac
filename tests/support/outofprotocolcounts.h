#pragma once

#include <QByteArray>
#include <QTest>

// Requests whose register count the protocol does not allow, as PDUs, with the exception a slave
// answers: one table for every link the interoperability tests run over.
inline void addOutOfProtocolCountRows()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    // Exception 3: the count is outside what the protocol allows.
    QTest::newRow("function 16, no registers, no bytes")
        << QByteArray::fromHex("10000a000000") << QByteArray::fromHex("9003");
    QTest::newRow("function 3, no registers")
        << QByteArray::fromHex("03000a0000") << QByteArray::fromHex("8303");
    // More than 123 registers do not fit a frame: the count alone is announced.
    QTest::newRow("function 16, 124 registers announced")
        << QByteArray::fromHex("10000a007c00") << QByteArray::fromHex("9003");
}
