#include "comms/Sockets.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace rm;

class SocketsTest : public QObject {
    Q_OBJECT

    QList<qint32> m_events;
    SocketHandle m_handle = 0;
    SocketEventHandler recorder() {
        m_events.clear();
        return [this](SocketHandle h, qint32 word) {
            m_handle = h;
            m_events << word;
        };
    }

private Q_SLOTS:
    // All bits set reads as "no address"; port 65535 is refused before the host is looked up, and a
    // name that does not resolve has its own code; the address is left alone.
    void resolutionAndRefusals() {
        QVERIFY(StartSockets());
        QCOMPARE(ResolveHost("255.255.255.255"), kNoAddress);
        QObject receiver;
        QString address = QStringLiteral("untouched");
        for (const int port : {65535, 25}) {
            QCOMPARE(OpenConnection("no-such-host.invalid", port, &address, &receiver, recorder()), -1);
            const int error = LastSocketError();
            QVERIFY(port == 25 ? error >= 11001 && error <= 11004 : error == 10049);
            QVERIFY(!SocketErrorText(error).isEmpty());
        }
        QCOMPARE(address, QStringLiteral("untouched"));
        QCOMPARE(NotifyErrorCode(qint32(0xFFFF0001u)), qint16(-1)); // read as signed
    }

    // A whole conversation: connect and write events, send (text and bytes), read, peer close; no
    // event after the receiver is gone.
    void eventsOfAConnection() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QObject receiver;
        QString address;
        const SocketHandle h =
            OpenConnection(QStringLiteral("127.0.0.1"), server.serverPort(), &address, &receiver, recorder());
        QVERIFY(h > 0);
        QCOMPARE(address, QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket* peer = server.nextPendingConnection();
        QTRY_COMPARE(m_events, (QList<qint32>{SocketConnect, SocketWrite}));
        QCOMPARE(m_handle, h);
        QCOMPARE(SendText(h, QStringLiteral("Jörg 星\r\n")), 8);
        QCOMPARE(SendText(h, QByteArray("raw\xff")), 4);
        QTRY_COMPARE(peer->bytesAvailable(), qint64(12));
        QCOMPARE(peer->readAll(), QByteArray("J\xf6rg ?\r\nraw\xff"));
        peer->write("220 hello\r\n");
        QTRY_VERIFY(m_events.contains(SocketRead));
        QByteArray bytes;
        QCOMPARE(ReceiveText(h, &bytes, 1000), 11);
        QCOMPARE(bytes, QByteArray("220 hello\r\n"));
        m_events.clear();
        peer->disconnectFromHost();
        QTRY_VERIFY(m_events.contains(SocketClose));
        QTest::qWait(20);
        QCOMPARE(m_events.count(SocketClose), 1); // reported once
        QVERIFY(IsConnectionOpen(h));
        CloseConnection(h);
        QVERIFY(!IsConnectionOpen(h));
        auto* gone = new QObject;
        const SocketHandle h2 =
            OpenConnection(QStringLiteral("localhost"), server.serverPort(), nullptr, gone, recorder());
        QVERIFY(h2 > 0);
        delete gone;
        QTest::qWait(50);
        QVERIFY(m_events.isEmpty());
        CloseConnection(h2);
    }
};

QTEST_GUILESS_MAIN(SocketsTest)
#include "sockets_test.moc"
