#include "comms/Sockets.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <cerrno>
#include <sys/socket.h>

using namespace rm;

namespace {

struct Recorded {
    QList<qint32> events;
    SocketHandle handle = 0;
};

SocketEventHandler Recorder(Recorded* r) {
    return [r](SocketHandle h, qint32 word) {
        r->handle = h;
        r->events << word;
    };
}

} // namespace

class SocketsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // All bits set reads as "no address"; port 65535 is refused before the host is looked up.
    void resolutionAndRefusals() {
        QVERIFY(StartSockets());
        QCOMPARE(ResolveHost("192.0.2.7"), HostAddress(::inet_addr("192.0.2.7")));
        QCOMPARE(AddressToText(ResolveHost("localhost")), QStringLiteral("127.0.0.1"));
        QCOMPARE(ResolveHost("255.255.255.255"), kNoAddress);
        QCOMPARE(ResolveHost(QString()), kNoAddress);
        QObject receiver;
        Recorded r;
        QString address = QStringLiteral("untouched");
        for (const int port : {65535, 25}) {
            QCOMPARE(OpenConnection("no-such-host.invalid", port, &address, &receiver, Recorder(&r)), -1);
            QVERIFY(port == 25 ? LastSocketError() >= 11001 && LastSocketError() <= 11004
                               : LastSocketError() == 10049);
            QCOMPARE(address, QStringLiteral("untouched"));
        }
    }

    void errorCodesAndTexts() {
        QCOMPARE(SocketErrorText(10061), QStringLiteral("Connection refused."));
        QCOMPARE(SocketErrorText(11004), QStringLiteral("Valid name, no data record of requested type."));
        QCOMPARE(SocketErrorText(12345), QString());
        int known = 0;
        for (int code = 10000; code < 11010; ++code)
            known += SocketErrorText(code).isEmpty() ? 0 : 1;
        QCOMPARE(known, 51);
        QCOMPARE((QList<int>{SocketErrorFromErrno(ECONNREFUSED), SocketErrorFromErrno(ECONNRESET),
                             SocketErrorFromErrno(EAGAIN), SocketErrorFromErrno(ETIMEDOUT)}),
                 (QList<int>{10061, 10054, 10035, 10060}));
        QCOMPARE(MakeEventWord(SocketConnect, 10061), (10061 << 16) | 16);
        QCOMPARE(NotifyErrorCode(qint32(0xFFFF0001u)), qint16(-1)); // read as signed
    }

    // A whole conversation: connect and write events, read, send (text and bytes), peer close.
    void eventsOfAConnection() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QObject receiver;
        Recorded r;
        QString address;
        const SocketHandle h = OpenConnection(QStringLiteral("127.0.0.1"), server.serverPort(), &address,
                                              &receiver, Recorder(&r));
        QVERIFY(h > 0);
        QCOMPARE(address, QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket* peer = server.nextPendingConnection();
        QTRY_COMPARE(r.events.size(), 2);
        QCOMPARE(r.events, (QList<qint32>{SocketConnect, SocketWrite}));
        QCOMPARE(r.handle, h);

        linger value{};
        socklen_t length = sizeof(value);
        QCOMPARE(::getsockopt(h, SOL_SOCKET, SO_LINGER, &value, &length), 0);
        QCOMPARE(value.l_onoff, 1);
        QCOMPARE(value.l_linger, 0);

        QCOMPARE(SendText(h, QString()), 0);
        QCOMPARE(SendText(h, QStringLiteral("Jörg 星\r\n")), 8);
        QCOMPARE(SendText(h, QByteArray("raw\xff")), 4);
        QTRY_COMPARE(peer->bytesAvailable(), qint64(12));
        QCOMPARE(peer->readAll(), QByteArray("J\xf6rg ?\r\nraw\xff"));

        // What the peer writes is announced and read.
        peer->write("220 hello\r\n");
        QTRY_VERIFY(r.events.contains(SocketRead));
        QByteArray bytes;
        QCOMPARE(ReceiveText(h, &bytes, 1000), 11);
        QCOMPARE(bytes, QByteArray("220 hello\r\n"));

        r.events.clear();
        peer->disconnectFromHost();
        QTRY_VERIFY(r.events.contains(SocketClose));
        QTest::qWait(20);
        QCOMPARE(r.events.count(SocketClose), 1); // reported once
        QVERIFY(IsConnectionOpen(h));
        CloseConnection(h);
        QVERIFY(!IsConnectionOpen(h));
    }

    void eventsStopWithTheReceiver() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        Recorded r;
        auto* receiver = new QObject;
        const SocketHandle h =
            OpenConnection(QStringLiteral("localhost"), server.serverPort(), nullptr, receiver, Recorder(&r));
        QVERIFY(h > 0);
        delete receiver;
        QTest::qWait(50);
        QVERIFY(r.events.isEmpty());
        CloseConnection(h);
    }
};

QTEST_GUILESS_MAIN(SocketsTest)
#include "sockets_test.moc"
