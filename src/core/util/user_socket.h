#pragma once
// Where this user's local sockets live (the single-instance guard, the partner mailboxes), so
// that two people logged in on one machine never meet each other's copy.
#include <string>
#include <string_view>

namespace orv {

// The socket for a name. A name holding a "/" is a full path and stays as it is. Otherwise it
// lies in the user's runtime folder ($XDG_RUNTIME_DIR) when that is set and is a folder of
// this user that nobody else may write; else in a private folder of the user under the
// temporary folder ($TMPDIR, else /tmp), "orvanta-<uid>", mode 0700, made when missing; when
// even that is taken by someone else, in the temporary folder under the name and the uid.
std::string UserSocketPath(std::string_view name);

// A lock file that guards claiming the socket of a name: beside it, with ".lock" appended.
std::string UserSocketLockPath(std::string_view name);

}  // namespace orv
