#include "monitor/SystemProber_win.h"

#include "core/Trace.h"
#include "monitor/IcmpProber_win.h"
#include "monitor/TcpProber_win.h"

namespace vorlane {

namespace {

const wchar_t* StatusText(ProbeAnswer::Status status) {
    switch (status) {
        case ProbeAnswer::Status::Answered:
            return L"answered";
        case ProbeAnswer::Status::Unanswered:
            break;
        case ProbeAnswer::Status::Unsupported:
            return L"unsupported";
    }
    return L"unanswered";
}

}  // namespace

ProbeAnswer SystemProber::probe(const ProbeTarget& target, int timeoutMs) {
    // For the end-to-end tests: that the probes of a cycle overlap.
    const bool traced = TraceEnabled();
    if (traced) Trace(L"probe", L"start\t" + target.toText());
    const ProbeAnswer answer = target.kind == ProbeKind::TcpConnect
                                   ? ConnectOnce(target.address, target.port, timeoutMs)
                                   : SendEchoRequest(target.address, timeoutMs);
    if (traced) Trace(L"probe", L"end\t" + target.toText() + L"\t" + StatusText(answer.status));
    return answer;
}

}  // namespace vorlane
