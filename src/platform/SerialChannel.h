// The serial channel: the only path between the program and a reader. PosixSerialChannel talks
// to Linux terminal devices, SocketChannel and Rfc2217Channel to serial device servers, and
// AnyChannel picks one of them per open by the form of the path; the transaction layer above
// sees only this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/PortDiagnosis.h"

namespace platform {

enum class ReadStatus {
    Byte,      // one byte was read
    Timeout,   // nothing arrived within the wait
    LineGone,  // the device hung up or vanished; no further byte will come
};

class SerialChannel {
public:
    virtual ~SerialChannel() = default;

    // Opens the device for exclusive use and applies a line-settings text such as
    // "19200,e,8,1". False, with nothing left open, when the device does not exist, is held by
    // another program or is not a terminal.
    virtual bool open(const std::string& devicePath, const std::string& lineSettings) = 0;
    // Purges, puts back the device's own settings and closes. Harmless when not open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Drops every byte waiting in either direction.
    virtual void purge() = 0;
    // One synchronous write; errors show up later as a missing reply.
    virtual void write(const std::uint8_t* bytes, std::size_t count) = 0;
    // Waits until every written byte has left the port. The kernel queues writes, and a long
    // frame at a low speed must be on the wire before the reply's silence limit starts.
    virtual void drain() = 0;
    // Reads one byte, waiting at most `timeoutMs` for it (0: only what is already there).
    virtual ReadStatus readByte(std::uint8_t& byte, int timeoutMs) = 0;
    // Called between the slices of a wait that the channel does on its own (connecting to a
    // network port), so the window keeps painting. Local ports never wait that long.
    virtual void setMessagePump(std::function<void()> /*pump*/) {}

    // Why the last open failed, or why the open line was lost; problem None when neither. A
    // channel that cannot tell leaves it at None.
    virtual PortDiagnosis diagnosis() const { return {}; }
};

}  // namespace platform
