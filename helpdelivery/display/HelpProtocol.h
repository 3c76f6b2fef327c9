// SPDX-License-Identifier: MIT
// The wire format between the program and its help viewer: each request carries the viewer call's file,
// command and data, plus the program's current folder so that a bare file name is found where the program
// means it, and the folder its help was unpacked into, where a bare name not found there is looked up. Each
// message, both ways, is a 32-bit length followed by that many bytes. The program's side is WinHelpBridge;
// the viewer's is its request server.
#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QString>
#include <QtEndian>
#include <optional>

namespace brelmont::helpprotocol {

struct Request {
    quint32 command = 0;
    QString file;
    QString folder;
    QByteArray text;
    qint32 number = 0;
    QString helpFolder;
};

// Not a viewer call: asks the viewer to describe what it shows (for the tests and for diagnosis).
inline constexpr quint32 kQueryState = 0x7F01;
// The viewer's answer once it has taken a request and shown what it asks.
inline constexpr char kShown[] = "shown";
// What the viewer prints on its standard output once it accepts requests.
inline constexpr char kReadyLine[] = "ready\n";

// No message comes near this; a larger length means the stream is not ours.
inline constexpr quint32 kMaxMessage = 1u << 20;

inline QByteArray Frame(const QByteArray& payload) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), out.data());
    return out + payload;
}

inline QByteArray EncodeRequest(const Request& request) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << request.command << request.file << request.folder << request.text << request.number
        << request.helpFolder;
    return Frame(payload);
}

// Takes one whole message off the front of `buffer`. Empty while it is incomplete; `broken` is set when the
// stream cannot be one of ours.
inline std::optional<QByteArray> TakeMessage(QByteArray& buffer, bool& broken) {
    broken = false;
    if (buffer.size() < 4) {
        return std::nullopt;
    }
    const auto length = qFromBigEndian<quint32>(buffer.constData());
    if (length > kMaxMessage) {
        broken = true;
        return std::nullopt;
    }
    if (static_cast<quint32>(buffer.size()) < 4 + length) {
        return std::nullopt;
    }
    QByteArray payload = buffer.mid(4, static_cast<qsizetype>(length));
    buffer.remove(0, 4 + static_cast<qsizetype>(length));
    return payload;
}

inline std::optional<Request> DecodeRequest(const QByteArray& payload) {
    Request request;
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_0);
    in >> request.command >> request.file >> request.folder >> request.text >> request.number;
    if (in.status() != QDataStream::Ok) {
        return std::nullopt;
    }
    // A request without the help folder (from an older program) is still a whole request.
    if (!in.atEnd()) {
        in >> request.helpFolder;
        if (in.status() != QDataStream::Ok) {
            return std::nullopt;
        }
    }
    return request;
}

// One viewer per user and display: its socket's path, in the private folder that also holds the work
// folders (see BaseFolder). A path taken by something that is no socket is passed over for the next of a few
// numbered ones. Empty when no private folder can be had.
QString DefaultServerName();

} // namespace brelmont::helpprotocol
