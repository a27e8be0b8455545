#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QObject;

namespace rm {

// One outgoing TCP connection to a mail server, driven by events that arrive through the event loop
// of the user-interface thread: connected, data to read, ready to write, closed. Each event comes with
// its connection handle and an event word: the low 16 bits name the event, the high 16 bits hold the
// error code (0 when none), read as a signed 16-bit number.

using SocketHandle = int; // 0 means no connection

enum SocketEvent : int { SocketRead = 1, SocketWrite = 2, SocketConnect = 16, SocketClose = 32 };
inline constexpr int kSocketEventMask = SocketRead | SocketWrite | SocketConnect | SocketClose;

// Error codes of the socket layer (the classic socket error numbers).
inline constexpr int kWouldBlock = 10035;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostNotFound = 11001;

// An IPv4 address in network byte order; all bits set means no address.
using HostAddress = quint32;
inline constexpr HostAddress kNoAddress = 0xFFFFFFFFu;

using SocketEventHandler = std::function<void(SocketHandle handle, qint32 eventWord)>;

// Starts the socket service once; returns whether it is started. Nothing to start on this platform.
bool StartSockets();

// A dotted decimal address is used directly; anything else (including "255.255.255.255", which
// reads as no address) is looked up by name and the first IPv4 answer taken. kNoAddress on failure.
HostAddress ResolveHost(const QString& host);

// The dotted decimal text of an address (at most 32 characters).
QString AddressToText(HostAddress address);

// Sets the linger option (on/off, seconds) of a connection and reads it back: 0, or -1 on failure.
int SetLinger(SocketHandle handle, int on, int seconds);

// Opens a connection to host:port; addressText receives "a.b.c.d:port". Events go to the handler
// while the receiver lives. Asynchronous: the connection is pending when this returns and its
// outcome arrives as the connect event; otherwise it must connect at once. Returns the handle, or
// -1 (port 65535 is refused before the host is resolved).
SocketHandle OpenConnection(const QString& host, int port, QString* addressText, QObject* receiver,
                            SocketEventHandler handler, bool asynchronous = true);

// Sends all bytes in one call: the count sent (possibly fewer), or -1. Text goes out one byte per
// character (Latin-1; characters outside it become "?"). Empty input sends nothing and returns 0.
// When the connection cannot take more data now, -1 is returned with LastSocketError() ==
// kWouldBlock and a write event follows once it can.
int SendText(SocketHandle handle, const QByteArray& bytes);
int SendText(SocketHandle handle, const QString& text);

// Reads up to maxBytes that have arrived: the count read into bytes (0 when none), or -1.
int ReceiveText(SocketHandle handle, QByteArray* bytes, int maxBytes);

// Closes a connection at once (unsent data is dropped) and stops its events.
void CloseConnection(SocketHandle handle);
// Whether a handle is an open connection of this layer.
bool IsConnectionOpen(SocketHandle handle);

// The error code of the last failing call of this layer.
int LastSocketError();

// The error code carried by an event word: its high 16 bits as a signed 16-bit number.
qint16 NotifyErrorCode(qint32 eventWord);
qint32 MakeEventWord(int event, int errorCode);

// The English text of a socket error code; the empty text for a code not in the table.
QString SocketErrorText(int code);
// The socket error code of a platform error number.
int SocketErrorFromErrno(int error);

} // namespace rm
