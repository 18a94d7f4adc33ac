#pragma once

#include <QByteArray>
#include <QTest>

#include <modbus/modbus.h>

#include <cerrno>

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
    // The quantity and the byte count decide, whatever the frame carries after them.
    QTest::newRow("function 16, no registers, data after the byte count")
        << QByteArray::fromHex("10000a0000001234") << QByteArray::fromHex("9003");
    QTest::newRow("function 16, byte count twice the quantity plus 2")
        << QByteArray::fromHex("10000a0001041234") << QByteArray::fromHex("9003");
    QTest::newRow("function 16, byte count 0 for 2 registers")
        << QByteArray::fromHex("10000a00020012345678") << QByteArray::fromHex("9003");
}

// Sends one request PDU as it is (libmodbus's own calls refuse such counts) and returns the
// answer's PDU, or the libmodbus error.
inline QByteArray rawExchange(modbus_t *ctx, int unit, const QByteArray &pdu)
{
    QByteArray request(1, char(unit));
    request += pdu;
    if (modbus_send_raw_request(ctx, reinterpret_cast<const uint8_t *>(request.constData()),
                                int(request.size())) < 0)
        return "send: " + QByteArray(modbus_strerror(errno));
    uint8_t answer[MODBUS_MAX_ADU_LENGTH] = {};
    const int size = modbus_receive_confirmation(ctx, answer);
    if (size < 0)
        return "receive: " + QByteArray(modbus_strerror(errno));
    const int header = modbus_get_header_length(ctx);
    // The answer's PDU, without the RTU check value.
    const int end = header == 1 ? size - 2 : size;
    return QByteArray(reinterpret_cast<const char *>(answer) + header, end - header);
}
