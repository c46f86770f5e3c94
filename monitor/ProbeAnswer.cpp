#include "monitor/ProbeAnswer.h"

namespace vorlane {

namespace {

// Windows Sockets error numbers.
constexpr int kWsaTimedOut = 10060;
constexpr int kWsaConnectionRefused = 10061;
constexpr int kWsaNetUnreachable = 10051;
constexpr int kWsaHostUnreachable = 10065;

// System error numbers.
constexpr unsigned long kErrorNotSupported = 50;
constexpr unsigned long kErrorCallNotImplemented = 120;

}  // namespace

ConnectReply ConnectReplyOf(int socketError) {
    switch (socketError) {
        case 0:
            return ConnectReply::Connected;
        case kWsaConnectionRefused:
            return ConnectReply::Refused;
        case kWsaTimedOut:
            return ConnectReply::TimedOut;
        case kWsaHostUnreachable:
            return ConnectReply::HostUnreachable;
        case kWsaNetUnreachable:
            return ConnectReply::NetUnreachable;
        default:
            return ConnectReply::Failed;
    }
}

ProbeAnswer AnswerOf(ConnectReply reply, int elapsedMs) {
    switch (reply) {
        case ConnectReply::Connected:
        case ConnectReply::Refused:
            return ProbeAnswer::Answered(elapsedMs < 0 ? 0 : elapsedMs);
        case ConnectReply::TimedOut:
        case ConnectReply::HostUnreachable:
        case ConnectReply::NetUnreachable:
        case ConnectReply::Failed:
            break;
    }
    return ProbeAnswer::Unanswered();
}

bool EchoUnsupported(unsigned long systemError) {
    return systemError == kErrorNotSupported || systemError == kErrorCallNotImplemented;
}

}  // namespace vorlane
