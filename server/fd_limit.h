#pragma once

namespace xq::server {

// Raises the soft limit of open files to the hard limit, since every spectator holds a socket.
// Gives the soft limit in force afterwards (-1 when it cannot be read).
long raiseFileLimit();

}  // namespace xq::server
