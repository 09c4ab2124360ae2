// The incoming-note queue and the sounding-note bookkeeping of the engine.
// Input notes wait for their sample; the block advances in segments that end
// at them. The records the key areas make are matched (note-on to note-off per
// channel, note and step) and handed to the ProcessorListener per segment.
// All storage is reserved at construction: the block path does not allocate.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/InputNote.h"
#include "engine/NoteRecord.h"

namespace sorel {

struct EngineContext;
class ProcessorListener;
class PatternEngine;

class NoteRouter {
public:
    static constexpr int kChannels = 17;  // index 1..16 used
    static constexpr int kAreas = 4;
    static constexpr int kMaxInput = 4096;
    static constexpr int kRecordCapacity = 16384;
    static constexpr int kMaxSegment = 256;  // samples; bounds the records of one segment
    static constexpr int kMaxPending = 4;
    // Queued inputs one block hands to the key areas; a backlog beyond it (a
    // flood, or input kept through blocks that played nothing) goes on at the
    // start of the following blocks, so that no block takes long. A
    // musician's block queues far fewer.
    static constexpr int kMaxDispatchPerBlock = 1024;
    // Past kMaxInput a note-off joins one already queued for its key; each
    // key of each area may still add one more, so the queue stays below this.
    static constexpr int kInputCapacity = kMaxInput + kChannels * 128 * kAreas;

    explicit NoteRouter(EngineContext* context);

    void SetListener(ProcessorListener* listener) { listener_ = listener; }

    // --- input (frame thread, under the plug-in lock) ---
    int NoteOn(int channel, int note, int velocity, int offset, int changedAreas[4]);
    bool NoteOff(int channel, int note, int offset);

    // --- the block ---
    // Advances the engine by `frames` samples; records reach the listener.
    // justStopped: the host transport stopped since the last block.
    void ProcessBlock(int frames, bool justStopped);

    // --- records from the key areas ---
    void AddRecord(const NoteRecord& record);

    // --- stop and clean-up ---
    void Stop(int offset);
    void AreaOff(int area, int offset);
    void ReleaseAll();

    bool Running() const { return running_; }
    // Keys delivered (or queued) to key areas and not yet released.
    int HeldTotal() const;
    // Input notes waiting for their sample.
    // Note-ons that went out and have had no note-off yet, over all channels.
    int SoundingTotal() const;
    int QueuedInput() const { return static_cast<int>(due_.size() - dueHead_); }

private:
    struct Pending {
        std::array<InputNote, kMaxPending> notes{};
        std::array<std::uint64_t, kMaxPending> blocks{};  // the block each key came in
        int count = 0;
        bool countReached = false;
    };
    // A note-off that must wait for its place in a later segment or block.
    struct Deferred {
        NoteRecord record;
        std::uint64_t block = 0;
    };

    bool ValidNote(int channel, int note) const;
    bool Claimed(int channel, int note) const;
    void AddClaim(int channel, int note, int area);
    void ForgetHeldBackKey(int area, int channel, int note);
    void Enqueue(const InputNote& input);
    void DispatchDue(int upToOffset);
    bool DispatchBudgetLeft() const { return dispatchBudget_ > 0; }
    void CarryUndispatched();
    void Dispatch(const InputNote& input);
    bool Busy() const;
    void StartRunning(int offset);
    void FlushRecords(bool dropNoteOns = false);
    void SendNoteOn(NoteRecord& record);
    void SendNoteOff(NoteRecord& record);
    void EndPendingKeys(int area, int offset);
    void EndPendingKey(int area, int k, int offset);
    void ReleaseDeferred(int segmentEnd);
    void EndSoundingNotes(int area, int offset);  // area -1: every area
    void ResetCleanUp(int offset);
    NoteRecord NoteOffRecord(int channel, int note, int area, int offset) const;
    // Ends the note the key plays, if any; true when a note-off went out.
    bool EndVoice(int channel, int note, double time);
    void Deliver(int segmentLength);
    void ClearClaims(int area);

    EngineContext* context_ = nullptr;
    ProcessorListener* listener_ = nullptr;

    // claims[channel][note][area]: note-ons queued or delivered to the area and not yet released.
    std::array<std::array<std::array<std::int16_t, kAreas>, 128>, kChannels> claims_{};
    // outputCount[channel][note][step]: open note-ons of that note from that step index.
    std::array<std::array<std::array<std::int32_t, 32>, 128>, kChannels> outputCount_{};
    // An instrument has one voice per channel and key: the note it plays is
    // that of the area and step whose note-on went out last; area -1 when silent.
    struct Voice {
        std::int8_t area = -1;
        std::int8_t step = 0;
    };
    std::array<std::array<Voice, 128>, kChannels> voices_{};
    std::array<Pending, kAreas> pending_{};
    std::array<int, kAreas> queuedNoteOns_{};

    std::vector<InputNote> due_;       // ordered by offset
    std::size_t dueHead_ = 0;          // first entry not yet dispatched
    int dispatchBudget_ = 0;           // inputs the current block may still dispatch
    std::vector<NoteRecord> records_;  // made in the current segment
    // Sort keys of records_: ordering these small entries is much cheaper than moving records.
    struct OrderKey {
        double time;
        std::uint64_t sequence;
        std::uint32_t index;
    };
    std::vector<OrderKey> order_;
    std::vector<NoteRecord> events_;   // to send
    std::vector<Deferred> deferred_;
    std::uint64_t blockSerial_ = 0;    // counts blocks; input between blocks belongs to the next
    std::uint64_t sequence_ = 0;
    bool running_ = false;
    bool inBlock_ = false;
    int segmentStart_ = 0;
};

}  // namespace sorel
