#pragma once

#include <cstdint>

// What the media reader may do once confined, which it is before it reads a byte of any media
// file: hold at most a little memory, make no file, have no child, gain no privilege, die with
// the player, and make only the system calls that reading a descriptor and answering on its
// socket need. Every other call fails (opening a file, making a socket, running a program),
// and the kernel keeps all of it.
namespace Confinement {

// The heap and the other private memory a read may take. The largest file the player would
// keep whole (a 16 MiB cover in a 24 MiB tag) needs under 100 MiB; a file that asks for more
// is no file worth reading. With the 9 MiB the program and its libraries keep resident, the
// reader stays under 170 MiB, and with a playing player (under 100 MiB) under 300 MiB.
inline constexpr std::uint64_t DataBytes = 160ull * 1024 * 1024;
// The address space: the program and its libraries map about 52 MiB of it, the rest is the
// data above, with room to spare.
inline constexpr std::uint64_t AddressSpaceBytes = 256ull * 1024 * 1024;
// Standard input (the socket), output and error, and the one descriptor of a request.
inline constexpr std::uint64_t OpenFiles = 4;

// Confines this process, whose parent is parent and which talks on descriptor 0. Returns
// null once confined, else what could not be done; the process must then end unconfined
// rather than read anything.
const char* enter(long parent);

} // namespace Confinement
