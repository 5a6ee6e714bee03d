// The hand-off from a later start to the running instance, over a local
// socket whose address the holder of the lock writes into the lock file.
// The lock itself is qt_instance.cpp's.
//
// A later start reads the address, connects and sends the one request there
// is (kRequest, nothing else); the holder posts the message it chose when it
// began to listen, and only then answers kQueued. The request carries no
// parameters, so a connection can ask nothing of the holder but that.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform::qt::handoff {

inline constexpr std::string_view kRequest = "VELMO hand-off 1\n";
inline constexpr char kQueued = 1;

// What a request makes the holder do.
struct Target {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// Starts listening for the holder of the lock file open at lockFd (lockPath
// is where it lies) and writes the socket's address into the file. Listening
// again replaces the target. False, with the reason on standard error, when
// no socket could be made.
bool Listen(int lockFd, const std::string& lockPath, const Target& target);
// Stops listening: the socket goes and the address is taken out of the file.
void Stop();
// The lock file is now the one open at lockFd (the old one went): the
// address, when listening, is written there.
void MoveAddressTo(int lockFd);
// Posts the target's message here, as a request from this very process
// would make the holder do. False while not listening or the window is gone.
bool DeliverHere();

// One attempt of a later start: true when the holder answered that it had
// posted its message.
bool Request(const std::string& lockPath);

}  // namespace platform::qt::handoff
