// The view's reading of the service's pipe. Whatever the bytes, in pieces of
// any size: no crash and no read outside them; a line is never longer than
// the limit; a line the parser takes is exactly what the writer writes for
// what it read; and what the writer writes reads back.
// Input: the bytes as read from the pipe; the first byte also sets the size
// of the pieces they arrive in.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "service/PipeMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using vorlane::fuzz::Require;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const size_t piece = size == 0 ? 1 : data[0] % 64 + 1;

    vorlane::PipeLineReader whole;
    vorlane::PipeLineReader pieces;
    std::vector<std::string> wholeLines;
    std::vector<std::string> pieceLines;
    const bool wholeOpen = whole.feed(bytes, wholeLines);
    bool piecesOpen = true;
    for (size_t at = 0; at < size && piecesOpen; at += piece) {
        piecesOpen = pieces.feed(std::string_view(bytes).substr(at, piece), pieceLines);
    }
    Require(wholeOpen == piecesOpen, "the pieces do not change whether the reader overflows");
    if (wholeOpen) Require(wholeLines == pieceLines, "the pieces do not change the lines");

    for (const std::string& line : wholeLines) {
        Require(line.size() < vorlane::kPipeLineLimit, "a line within the limit");
        const auto state = vorlane::ParsePipeMessage(line);
        if (!state) continue;
        Require(vorlane::FormatPipeMessage(*state) == line + "\n",
                "a line taken is what the writer writes");
    }

    // The writer's side: any texts, escaped and cut, read back as cut.
    vorlane::ViewState state;
    state.red = size % 2 == 1;
    state.text = vorlane::fuzz::WideFromBytes(data, size / 2);
    state.glance = vorlane::fuzz::WideFromBytes(data + size / 2, size - size / 2);
    const std::string line = vorlane::FormatPipeMessage(state);
    Require(line.size() <= vorlane::kPipeLineLimit, "the writer keeps to the limit");
    const auto back = vorlane::ParsePipeMessage(std::string_view(line).substr(0, line.size() - 1));
    // Lone surrogates do not survive UTF-8; everything else does.
    if (back) Require(vorlane::FormatPipeMessage(*back) == line, "what is written reads back");
    return 0;
}
