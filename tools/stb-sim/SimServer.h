// The simulator's accept loop. Connections wait for their command frames side by side, each with
// its own deadline, so a client that connects and sends nothing delays no other; the transfers
// themselves are served one at a time, in the order their command frames completed.
#pragma once

#include "SimReceiver.h"

namespace stbsim {

// Serves the connections of `listener` until `stopFd` becomes readable, printing one line per
// connection on standard output.
void serveUntilStopped(Receiver& receiver, int listener, int stopFd);

}  // namespace stbsim
