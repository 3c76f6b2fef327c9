// SPDX-License-Identifier: MIT
// Where the help viewer's socket lives and how a client reaches it. Both the program and the viewer speak
// plain Unix-domain sockets, so neither loads the toolkit's network library for one local connection. A
// server name that is not a path lives in the temporary folder, where the toolkit's own local server would
// put it, so that a viewer and a program of different builds still meet. Each side talks only to a peer
// of its own user, whoever may have made the socket file.
#pragma once

#include <QString>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>

namespace brelmont::localsocket {

// The file a server name stands for.
QString SocketPath(const QString& serverName);

// The address of that file; empty when the path is too long for a socket address.
std::optional<sockaddr_un> SocketAddress(const QString& serverName);

// The process and user at the other end of a connected socket, as the kernel saw them when it connected.
std::optional<ucred> Peer(int fd);
// Whether that end belongs to this process's user.
bool PeerIsThisUser(int fd);

// Connects to the server, blocking at most `timeoutMs` (a local connection is made or refused at once unless
// the server's queue of connections is full). Returns the connected socket (close-on-exec, blocking), or -1
// when nothing answers there or the server belongs to another user.
int Connect(const QString& serverName, int timeoutMs);

// Whether a server answers there now.
bool Answers(const QString& serverName, int timeoutMs);

} // namespace brelmont::localsocket
