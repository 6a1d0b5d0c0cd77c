#include "board/TraceDecoder.h"

#include "board/Protocol.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>

namespace jtagtrace {

namespace {

// The payload bytes kept with a frame: enough for a memory chunk's type, address and count, or a
// board's name after the status.
constexpr std::size_t SAMPLE_MAX = 1 + BOARD_NAME_LEN;
constexpr std::size_t STRAY_SAMPLE_MAX = 16;

// A byte of the stream, or a run of bytes the trace kept only the sum of.
struct Piece {
    uint64_t time = 0;
    bool summed = false;
    uint8_t value = 0; // the byte, or the run's sum
    uint32_t count = 1;
};

// Finds the frames in one direction of a link as the firmware does: from a start marker, a length
// within the limit and an end marker where the length puts it; a rejected candidate gives up its
// start marker only, and the bytes after it are scanned again. A frame whose end marker is right is
// a frame, whatever its checksum: that is the verdict to show.
class FrameScanner {
public:
    FrameScanner(bool fromBoard, std::vector<TraceEvent>& events) : fromBoard(fromBoard), events(events) {}

    void Feed(const Record& record, uint64_t time) {
        for (uint8_t byte : record.head)
            input.push_back({time, false, byte, 1});
        if (record.LeftOut() != 0)
            input.push_back({time, true, record.middleSum, record.LeftOut()});
        for (uint8_t byte : record.tail)
            input.push_back({time, false, byte, 1});
        Scan();
    }

    // The link ended: a frame under way stays incomplete.
    void Finish() {
        if (!candidate.empty())
            EmitIncomplete();
        FlushStray();
    }

private:
    void Scan() {
        while (!input.empty()) {
            const Piece piece = input.front();
            input.pop_front();
            Take(piece);
        }
    }

    void Take(const Piece& piece) {
        if (candidate.empty()) {
            if (piece.summed) {
                FlushStray();
                Emit(TraceEvent::Type::NotRecorded, piece.time).bytes = piece.count;
            } else if (piece.value == PKT_START) {
                FlushStray();
                candidate.push_back(piece);
                position = 1;
                sum = 0;
                sample.clear();
            } else {
                AddStray(piece);
            }
            return;
        }
        if (piece.summed) {
            // A frame whose head or end lies in bytes the trace did not keep cannot be followed.
            const uint32_t payloadEnd = PKT_HEAD_LEN + length;
            const uint32_t beforeChecksum =
                position < PKT_HEAD_LEN || position >= payloadEnd ? 0 : payloadEnd - position;
            if (piece.count > beforeChecksum) {
                position += beforeChecksum;
                EmitIncomplete();
                Emit(TraceEvent::Type::NotRecorded, piece.time).bytes = piece.count - beforeChecksum;
                return;
            }
            candidate.push_back(piece);
            position += piece.count;
            sum += piece.value;
            return;
        }
        candidate.push_back(piece);
        const uint8_t byte = piece.value;
        ++position;
        if (position <= PKT_HEAD_LEN) {
            sum += byte;
            if (position == PKT_HEAD_LEN) {
                length = candidate[2].value | (static_cast<uint32_t>(candidate[3].value) << 8);
                if (length > PKT_PC2NIOS_MAX_PL_LEN)
                    Reject();
            }
        } else if (position <= PKT_HEAD_LEN + length) {
            sum += byte;
            if (sample.size() == position - PKT_HEAD_LEN - 1 && sample.size() < SAMPLE_MAX)
                sample.push_back(byte);
        } else if (position == PKT_HEAD_LEN + length + 1) {
            checksumByte = byte;
        } else if (byte == PKT_END) {
            TraceEvent& frame = Emit(TraceEvent::Type::Frame, candidate.front().time);
            frame.command = candidate[1].value;
            frame.length = length;
            frame.checksumByte = checksumByte;
            frame.sum = sum;
            frame.checksum = sum == checksumByte ? TraceEvent::Checksum::Ok : TraceEvent::Checksum::Bad;
            frame.sample = sample;
            frame.end = piece.time;
            candidate.clear();
        } else {
            Reject();
        }
    }

    // Not a frame: its start marker is a stray byte, and what followed it is scanned again.
    void Reject() {
        AddStray(candidate.front());
        input.insert(input.begin(), candidate.begin() + 1, candidate.end());
        candidate.clear();
    }

    void EmitIncomplete() {
        TraceEvent& cut = Emit(TraceEvent::Type::Incomplete, candidate.front().time);
        cut.command = candidate.size() > 1 ? candidate[1].value : 0;
        cut.length = position >= PKT_HEAD_LEN ? length : 0;
        cut.bytes = position;
        candidate.clear();
    }

    void AddStray(const Piece& piece) {
        if (strayCount == 0)
            strayTime = piece.time;
        ++strayCount;
        if (straySample.size() < STRAY_SAMPLE_MAX)
            straySample.push_back(piece.value);
    }

    void FlushStray() {
        if (strayCount == 0)
            return;
        TraceEvent& stray = Emit(TraceEvent::Type::Stray, strayTime);
        stray.bytes = strayCount;
        stray.sample = straySample;
        strayCount = 0;
        straySample.clear();
    }

    TraceEvent& Emit(TraceEvent::Type type, uint64_t time) {
        TraceEvent event;
        event.type = type;
        event.time = time;
        event.fromBoard = fromBoard;
        events.push_back(std::move(event));
        return events.back();
    }

    bool fromBoard;
    std::vector<TraceEvent>& events;
    std::deque<Piece> input;
    std::vector<Piece> candidate; // from its start marker on
    uint32_t position = 0;        // bytes of the candidate so far
    uint32_t length = 0;
    uint8_t sum = 0;
    uint8_t checksumByte = 0;
    std::vector<uint8_t> sample;
    uint32_t strayCount = 0;
    uint64_t strayTime = 0;
    std::vector<uint8_t> straySample;
};

// A link while the trace is read: its record, its two scanners, and what the gaps need.
struct LinkState {
    LinkState() : host(false, link.events), board(true, link.events) {}
    TraceLink link;
    FrameScanner host;
    FrameScanner board;
    uint64_t lastMoved = 0;
    uint32_t emptyReads = 0;
    bool ended = false;
};

// The moment the trace's bytes moved: when the library's call returned.
void CheckGap(LinkState& state, uint64_t now, uint64_t gapNs) {
    if (state.lastMoved != 0 && now > state.lastMoved && now - state.lastMoved >= gapNs) {
        TraceEvent gap;
        gap.type = TraceEvent::Type::Gap;
        gap.time = state.lastMoved;
        gap.duration = now - state.lastMoved;
        gap.bytes = state.emptyReads;
        state.link.events.push_back(gap);
    }
    state.lastMoved = now;
    state.emptyReads = 0;
}

void End(LinkState& state, uint64_t at, uint64_t gapNs) {
    state.host.Finish();
    state.board.Finish();
    if (at != 0) {
        CheckGap(state, at, gapNs);
        TraceEvent closed;
        closed.type = TraceEvent::Type::Closed;
        closed.time = at;
        state.link.events.push_back(closed);
    }
    state.ended = true;
}

// In time order, each board's frame with the time since the host's last frame.
void Arrange(TraceLink& link) {
    std::stable_sort(link.events.begin(), link.events.end(),
                     [](const TraceEvent& a, const TraceEvent& b) { return a.time < b.time; });
    uint64_t request = 0;
    for (TraceEvent& event : link.events) {
        if (event.type != TraceEvent::Type::Frame)
            continue;
        if (!event.fromBoard)
            request = event.end;
        else if (request != 0 && event.time >= request)
            event.replyAfter = static_cast<int64_t>(event.time - request);
    }
}

} // namespace

TraceDecoding DecodeTrace(const TraceFile& trace, uint64_t gapNs) {
    TraceDecoding decoding;
    decoding.truncated = trace.truncated;
    // Links by process and handle; the latest open of a handle owns its records.
    std::vector<std::unique_ptr<LinkState>> states;
    std::map<std::pair<uint32_t, uint32_t>, LinkState*> current;

    const auto start = [&](const Record& record) -> LinkState& {
        states.push_back(std::make_unique<LinkState>());
        TraceLink& link = states.back()->link;
        link.process = record.process;
        link.handle = record.handle;
        link.opened = record.start;
        current[{record.process, record.handle}] = states.back().get();
        return *states.back();
    };
    const auto find = [&](const Record& record) -> LinkState& {
        const auto found = current.find({record.process, record.handle});
        if (found != current.end() && !found->second->ended)
            return *found->second;
        return start(record);
    };

    for (const Record& record : trace.records) {
        switch (record.kind) {
        case Kind::Open: {
            LinkState& state = start(record);
            TraceLink& link = state.link;
            link.device = static_cast<int32_t>(record.asked);
            for (std::size_t i = 0; i < 8 && i < record.head.size(); ++i)
                link.wallClock |= static_cast<uint64_t>(record.head[i]) << (8 * i);
            if (record.head.size() > 8)
                link.edition.assign(record.head.begin() + 8, record.head.end());
            TraceEvent opened;
            opened.type = record.ok ? TraceEvent::Type::Opened : TraceEvent::Type::OpenFailed;
            opened.time = record.start;
            link.events.push_back(opened);
            state.lastMoved = record.end;
            if (!record.ok)
                End(state, 0, gapNs);
            break;
        }
        case Kind::Close:
            End(find(record), record.start, gapNs);
            break;
        case Kind::Write:
        case Kind::Read: {
            LinkState& state = find(record);
            CheckGap(state, record.end, gapNs);
            if (record.kind == Kind::Write && !record.ok) {
                TraceEvent refused;
                refused.type = TraceEvent::Type::WriteRefused;
                refused.time = record.end;
                refused.bytes = record.count;
                state.link.events.push_back(refused);
            } else {
                (record.kind == Kind::Write ? state.host : state.board).Feed(record, record.end);
            }
            break;
        }
        case Kind::EmptyReads:
            find(record).emptyReads += record.count;
            break;
        case Kind::Full:
            decoding.full = true;
            break;
        }
    }
    for (auto& state : states) {
        if (!state->ended)
            End(*state, 0, gapNs);
        Arrange(state->link);
        decoding.links.push_back(std::move(state->link));
    }
    return decoding;
}

} // namespace jtagtrace
