#pragma once
// Mailboxes are the user's own: the socket of a mailbox name lies in the user's runtime folder.
#include <QString>

#include "util/user_socket.h"

namespace orv::app {

inline QString UserMailboxPath(const QString& name) {
    return QString::fromStdString(UserSocketPath(name.toStdString()));
}

}  // namespace orv::app
