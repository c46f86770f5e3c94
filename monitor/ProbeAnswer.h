// What one probe brought back, and the rule that says which replies count as
// an answer: an echo reply, a TCP connection made, or one refused (the host
// sent a reset, so the path to it works). Nothing within the time-out, or the
// network saying the host or the net is unreachable, is no answer. A probe
// the system cannot send at all (no ICMPv6 echo) is neither. Portable: no
// Windows types; the system's error numbers are named here.
#pragma once

namespace vorlane {

struct ProbeAnswer {
    enum class Status {
        Answered,
        Unanswered,
        Unsupported,  // this system cannot send such a probe at all
    };
    Status status = Status::Unanswered;
    int roundTripMs = -1;  // Answered only

    static ProbeAnswer Answered(int roundTripMs) { return {Status::Answered, roundTripMs}; }
    static ProbeAnswer Unanswered() { return {Status::Unanswered, -1}; }
    static ProbeAnswer Unsupported() { return {Status::Unsupported, -1}; }
    bool answered() const { return status == Status::Answered; }
};

enum class ConnectReply {
    Connected,
    Refused,          // a reset
    TimedOut,         // nothing came back within the time-out
    HostUnreachable,  // the network said so
    NetUnreachable,
    Failed,  // any other error: the connection could not be tried
};

// A connection attempt that ended within the time-out with `socketError`
// (0 when it was made), as Windows Sockets numbers it.
ConnectReply ConnectReplyOf(int socketError);

// Connected and refused answer, after `elapsedMs`; every other reply does not.
ProbeAnswer AnswerOf(ConnectReply reply, int elapsedMs);

// An echo call that failed with `systemError` (GetLastError) because the
// system has no such echo at all, as opposed to a request that went out and
// came back empty.
bool EchoUnsupported(unsigned long systemError);

}  // namespace vorlane
