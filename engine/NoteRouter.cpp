#include "engine/NoteRouter.h"

#include <algorithm>
#include <limits>

#include "engine/ControlZone.h"
#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/ProcessorListener.h"
#include "engine/VardoApp.h"

namespace sorel {

namespace {
AreaMask OnlyArea(int area) {
    AreaMask mask{-1, -1, -1, -1};
    mask[static_cast<std::size_t>(area)] = 1;
    return mask;
}
}  // namespace

NoteRouter::NoteRouter(EngineContext* context) : context_(context) {
    due_.reserve(kInputCapacity);
    records_.reserve(kRecordCapacity);
    order_.reserve(kRecordCapacity);
    events_.reserve(kRecordCapacity);
    deferred_.reserve(kAreas * kMaxPending * 4);
}

bool NoteRouter::ValidNote(int channel, int note) const {
    return channel >= 1 && channel <= 16 && note >= 0 && note < 128;
}

// --- input ------------------------------------------------------------------

int NoteRouter::NoteOn(int channel, int note, int velocity, int offset, int changedAreas[4]) {
    if (!ValidNote(channel, note) || velocity <= 0) return 0;
    if (due_.size() + kAreas * (kMaxPending + 1) >= kMaxInput) return 0;  // hostile flood: pass it through
    velocity = std::min(velocity, 127);
    offset = std::max(offset, 0);
    InputNote input{note, velocity, offset, 1, channel, false, AreaMask{1, 1, 1, 1}};

    ControlZone* zone = context_->controlZone.get();
    if (zone != nullptr && zone->Covers(note)) {
        input.control = true;
        Enqueue(input);
        return 1;
    }

    int result = 0;
    for (int i = 0; i < kAreas; ++i) {
        PatternEngine* area = context_->keyAreas->Area(i);
        if (area == nullptr || !area->Accepts(channel, note)) continue;
        const std::size_t ai = static_cast<std::size_t>(i);
        const bool holdsNotes = area->Busy() || queuedNoteOns_[ai] > 0;
        if (!holdsNotes) {
            Pending& pending = pending_[ai];
            if (!context_->countGateOff && area->ArpOnNoteCount() - 1 > pending.count) {
                // Held back until enough keys are down; it sounds as played meanwhile.
                if (changedAreas != nullptr) changedAreas[i] = -1;
                if (pending.count < kMaxPending) {
                    InputNote held = input;
                    held.areaMask = OnlyArea(i);
                    pending.blocks[static_cast<std::size_t>(pending.count)] = blockSerial_;
                    pending.notes[static_cast<std::size_t>(pending.count++)] = held;
                }
                continue;
            }
            // The count is reached: the held-back keys reach the area with this one.
            pending.countReached = pending.count > 0;
            for (int k = 0; k < pending.count; ++k) {
                InputNote handed = pending.notes[static_cast<std::size_t>(k)];
                handed.offset = offset;
                handed.areaMask = OnlyArea(i);
                Enqueue(handed);
                AddClaim(handed.channel, handed.note, i);
                ++queuedNoteOns_[ai];
            }
        }
        if (changedAreas != nullptr) changedAreas[i] = 1;
        InputNote taken = input;
        taken.areaMask = OnlyArea(i);
        Enqueue(taken);
        AddClaim(channel, note, i);
        ++queuedNoteOns_[ai];
        result = 2;
    }
    return result;
}

bool NoteRouter::NoteOff(int channel, int note, int offset) {
    if (!ValidNote(channel, note)) return false;
    for (int i = 0; i < kAreas; ++i) ForgetHeldBackKey(i, channel, note);
    // A key an area took is released to it even when the control zone came on
    // over it while it was down: the zone only swallows the release of a key
    // nobody took.
    ControlZone* zone = context_->controlZone.get();
    if (zone != nullptr && zone->Covers(note) && !Claimed(channel, note)) return false;
    offset = std::max(offset, 0);
    bool taken = false;
    for (int i = 0; i < kAreas; ++i) {
        const std::size_t ai = static_cast<std::size_t>(i);
        std::int16_t& claim = claims_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(note)][ai];
        if (claim <= 0) continue;
        taken = true;
        // A key pressed again before this release (a clip's next chord
        // starting as the last ends) stays down until its last release.
        if (--claim > 0) continue;
        // Never ahead of the note-on it ends, even when the host sends them out of order.
        int at = offset;
        bool offQueuedLast = false;  // the key's last queued input for the area is a note-off
        for (std::size_t k = dueHead_; k < due_.size(); ++k) {
            const InputNote& q = due_[k];
            if (q.channel != channel || q.note != note || q.areaMask[ai] != 1 || q.control) continue;
            if (q.isNoteOn) at = std::max(at, q.offset);
            offQueuedLast = !q.isNoteOn;
        }
        // A flood of note-offs: one queued after the key's last note-on
        // releases it as well as any number of them.
        if (offQueuedLast && due_.size() >= static_cast<std::size_t>(kMaxInput)) continue;
        Enqueue(InputNote{note, 127, at, 0, channel, false, OnlyArea(i)});
    }
    return taken;
}

// A held-back key let go before its area started only leaves the list; once
// handed to the area it is released like any other.
void NoteRouter::ForgetHeldBackKey(int area, int channel, int note) {
    Pending& pending = pending_[static_cast<std::size_t>(area)];
    if (pending.countReached) return;
    int kept = 0;
    for (int k = 0; k < pending.count; ++k) {
        const InputNote& n = pending.notes[static_cast<std::size_t>(k)];
        if (n.channel == channel && n.note == note) continue;
        pending.blocks[static_cast<std::size_t>(kept)] = pending.blocks[static_cast<std::size_t>(k)];
        pending.notes[static_cast<std::size_t>(kept++)] = n;
    }
    pending.count = kept;
}

void NoteRouter::AddClaim(int channel, int note, int area) {
    std::int16_t& claim = claims_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(note)]
                                 [static_cast<std::size_t>(area)];
    if (claim < std::numeric_limits<std::int16_t>::max()) ++claim;
}

bool NoteRouter::Claimed(int channel, int note) const {
    for (std::int16_t claim : claims_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(note)])
        if (claim > 0) return true;
    return false;
}

void NoteRouter::Enqueue(const InputNote& input) {
    // Stable by offset: equal offsets keep their arrival order.
    auto at = std::upper_bound(due_.begin() + static_cast<std::ptrdiff_t>(dueHead_), due_.end(), input.offset,
                               [](int offset, const InputNote& n) { return offset < n.offset; });
    due_.insert(at, input);
}

int NoteRouter::HeldTotal() const {
    int total = 0;
    for (const auto& channel : claims_)
        for (const auto& note : channel)
            for (std::int16_t c : note) total += std::max<int>(c, 0);
    return total;
}

int NoteRouter::SoundingTotal() const {
    int total = 0;
    for (const auto& channel : voices_)
        for (const Voice& voice : channel) total += voice.area >= 0 ? 1 : 0;
    return total;
}

// --- the block --------------------------------------------------------------

bool NoteRouter::Busy() const {
    if (dueHead_ < due_.size()) return true;
    for (int i = 0; i < kAreas; ++i) {
        const PatternEngine* area = context_->keyAreas->Area(i);
        if (area != nullptr && area->Busy()) return true;
    }
    return false;
}

void NoteRouter::StartRunning(int offset) {
    running_ = true;
    EngineClock& clock = context_->clock;
    if (!clock.hostPlaying) {
        // Without the host transport the engine counts from the first key.
        clock.anchorSample = clock.blockStart + offset;
        clock.anchorQn = 0.0;
    }
    if (listener_ != nullptr) listener_->OnProcessingState(true);
}

void NoteRouter::ProcessBlock(int frames, bool justStopped) {
    if (frames <= 0) return;
    inBlock_ = true;
    for (std::size_t k = dueHead_; k < due_.size(); ++k) due_[k].offset = std::min(due_[k].offset, frames - 1);
    if (justStopped && running_) Stop(0);
    dispatchBudget_ = kMaxDispatchPerBlock;

    const bool canRun = context_->clock.Valid();
    int segment = 0;
    while (segment < frames) {
        segmentStart_ = segment;
        DispatchDue(segment);
        const bool busy = Busy();
        if (!running_ && busy && canRun) StartRunning(segment);
        if (running_ && !busy) Stop(segment);

        int next = std::min(frames, segment + kMaxSegment);
        if (dueHead_ < due_.size() && DispatchBudgetLeft())
            next = std::min(next, std::max(segment + 1, due_[dueHead_].offset));
        const int length = next - segment;
        if (running_ && canRun && context_->app != nullptr)
            context_->app->ProcessSegment(static_cast<double>(context_->clock.blockStart + segment), length,
                                          context_->clock.samplesPerBeat, false, segment);
        FlushRecords();
        ReleaseDeferred(next);
        Deliver(length);
        segment = next;
    }
    CarryUndispatched();
    // What did not fit into this block goes out at the start of the next.
    for (Deferred& d : deferred_)
        if (d.block <= blockSerial_) {
            d.block = blockSerial_ + 1;
            d.record.time = 0.0;
        }
    ++blockSerial_;
    inBlock_ = false;
}

void NoteRouter::ReleaseDeferred(int segmentEnd) {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < deferred_.size(); ++k) {
        Deferred& d = deferred_[k];
        if (d.block < blockSerial_ || (d.block == blockSerial_ && d.record.time < segmentEnd)) {
            if (d.block < blockSerial_) d.record.time = segmentStart_;
            events_.push_back(d.record);
        } else {
            deferred_[kept++] = d;
        }
    }
    deferred_.resize(kept);
}

void NoteRouter::DispatchDue(int upToOffset) {
    while (dueHead_ < due_.size() && due_[dueHead_].offset <= upToOffset && DispatchBudgetLeft()) {
        const InputNote input = due_[dueHead_];
        ++dueHead_;
        --dispatchBudget_;
        Dispatch(input);
    }
}

// Input the block had no budget left for keeps its order and goes at the
// start of the next block, before anything that comes in meanwhile.
void NoteRouter::CarryUndispatched() {
    due_.erase(due_.begin(), due_.begin() + static_cast<std::ptrdiff_t>(dueHead_));
    dueHead_ = 0;
    for (InputNote& input : due_) input.offset = 0;
}

void NoteRouter::Dispatch(const InputNote& input) {
    if (input.control) {
        if (ControlZone* zone = context_->controlZone.get()) zone->Handle(input.note, input.channel);
        return;
    }
    VardoApp* app = context_->app;
    for (int i = 0; i < kAreas; ++i) {
        if (input.areaMask[static_cast<std::size_t>(i)] != 1) continue;
        if (input.isNoteOn) {
            queuedNoteOns_[static_cast<std::size_t>(i)] = std::max(0, queuedNoteOns_[static_cast<std::size_t>(i)] - 1);
            if (app != nullptr) app->OnNoteOn(-1.0, input.offset, input.note, input.velocity, input.channel, i);
        } else if (PatternEngine* area = context_->keyAreas->Area(i)) {
            area->NoteOff(-1.0, input.note, input.offset);
        }
        context_->notifier->Notify(notify::kNoteActivity, i);
    }
}

// --- records ----------------------------------------------------------------

void NoteRouter::AddRecord(const NoteRecord& record) {
    NoteRecord r = record;
    r.channel = std::clamp(r.channel, 1, 16);
    r.note = std::clamp(r.note, 0, 127);
    r.step = std::clamp(r.step, 0, 31);
    r.area = std::clamp(r.area, 0, kAreas - 1);
    r.sequence = ++sequence_;
    records_.push_back(r);
}

void NoteRouter::FlushRecords(bool dropNoteOns) {
    if (records_.empty()) return;
    // Time order, and creation order within a sample: a note's own note-off
    // always follows its note-on; overlapping copies of a note from one step
    // merge into the first note-on and the last note-off.
    order_.clear();
    for (std::size_t k = 0; k < records_.size(); ++k)
        order_.push_back({records_[k].time, records_[k].sequence, static_cast<std::uint32_t>(k)});
    std::sort(order_.begin(), order_.end(), [](const OrderKey& a, const OrderKey& b) {
        return a.time != b.time ? a.time < b.time : a.sequence < b.sequence;
    });
    for (const OrderKey& key : order_) {
        NoteRecord& r = records_[key.index];
        if (r.muted) continue;
        // Its controllers alone go out: it neither holds nor ends a key.
        if (r.lostChance) {
            if (r.isNoteOn && !dropNoteOns) SendNoteOn(r);
            continue;
        }
        std::int32_t& count = outputCount_[static_cast<std::size_t>(r.channel)][static_cast<std::size_t>(r.note)]
                                          [static_cast<std::size_t>(r.step)];
        if (r.isNoteOn) {
            if (dropNoteOns) continue;
            if (count == 0) SendNoteOn(r);
            ++count;
        } else {
            if (count == 1) SendNoteOff(r);
            count = std::max(0, count - 1);
        }
    }
    records_.clear();
}

void NoteRouter::SendNoteOn(NoteRecord& record) {
    Pending& pending = pending_[static_cast<std::size_t>(record.area)];
    if (pending.countReached) {
        // The area speaks: the keys that sounded as played while it waited end now.
        for (int k = 0; k < pending.count; ++k) EndPendingKey(record.area, k, static_cast<int>(record.time));
        pending.count = 0;
        pending.countReached = false;
    }
    // A controller-only note never sounds: no clean-up ends it.
    if (!record.onlyCc) {
        // A note from another step still sounds on the key: it ends just
        // before this one, and its own note-off, when it comes, goes nowhere.
        if (EndVoice(record.channel, record.note, record.time))
            context_->notifier->Notify(notify::kStepPlayed, events_.back().area, &events_.back());
        voices_[static_cast<std::size_t>(record.channel)][static_cast<std::size_t>(record.note)] = {
            static_cast<std::int8_t>(record.area), static_cast<std::int8_t>(record.step)};
    }
    events_.push_back(record);
    if (!record.onlyCc && !record.muted) context_->notifier->Notify(notify::kNoteStarted, record.area, &record);
}

void NoteRouter::SendNoteOff(NoteRecord& record) {
    Voice& voice = voices_[static_cast<std::size_t>(record.channel)][static_cast<std::size_t>(record.note)];
    if (!record.onlyCc) {
        // A later note took the key: this one has ended already.
        if (voice.area < 0 || voice.step != record.step) return;
        voice.area = -1;
    }
    events_.push_back(record);
    context_->notifier->Notify(notify::kStepPlayed, record.area, &record);
}

bool NoteRouter::EndVoice(int channel, int note, double time) {
    Voice& voice = voices_[static_cast<std::size_t>(channel)][static_cast<std::size_t>(note)];
    if (voice.area < 0) return false;
    NoteRecord off = NoteOffRecord(channel, note, voice.area, 0);
    off.time = time;
    off.step = voice.step;
    voice.area = -1;
    events_.push_back(off);
    return true;
}

NoteRecord NoteRouter::NoteOffRecord(int channel, int note, int area, int offset) const {
    NoteRecord off;
    off.note = note;
    off.velocity = 127;
    off.isNoteOn = 0;
    off.channel = channel;
    off.area = area;
    off.time = offset;
    return off;
}

void NoteRouter::Deliver(int segmentLength) {
    if (events_.empty()) return;
    // Records made by clean-ups join those of the segment: one time order.
    const auto byTime = [](const NoteRecord& a, const NoteRecord& b) { return a.time < b.time; };
    if (!std::is_sorted(events_.begin(), events_.end(), byTime)) {
        for (std::size_t k = 0; k < events_.size(); ++k) events_[k].sequence = k;
        std::sort(events_.begin(), events_.end(), [](const NoteRecord& a, const NoteRecord& b) {
            return a.time != b.time ? a.time < b.time : a.sequence < b.sequence;
        });
    }
    if (listener_ != nullptr) listener_->OnEngineEvents(std::span<NoteRecord>(events_), segmentLength);
    events_.clear();
}

// --- stop and clean-up ------------------------------------------------------

void NoteRouter::EndPendingKey(int area, int k, int offset) {
    const Pending& pending = pending_[static_cast<std::size_t>(area)];
    const InputNote& n = pending.notes[static_cast<std::size_t>(k)];
    NoteRecord off = NoteOffRecord(n.channel, n.note, area, offset);
    off.endsHeldBackKey = true;
    if (pending.blocks[static_cast<std::size_t>(k)] >= blockSerial_ && n.offset >= offset) {
        // The key's own note-on passes through at its offset in this block: the
        // note-off must come after it, never before.
        off.time = n.offset + 1;
        deferred_.push_back({off, blockSerial_});
        return;
    }
    events_.push_back(off);
}

void NoteRouter::EndPendingKeys(int area, int offset) {
    Pending& pending = pending_[static_cast<std::size_t>(area)];
    if (pending.countReached)
        for (int k = 0; k < pending.count; ++k) EndPendingKey(area, k, offset);
    pending.count = 0;
    pending.countReached = false;
}

void NoteRouter::EndSoundingNotes(int area, int offset) {
    for (int ch = 1; ch < kChannels; ++ch)
        for (int note = 0; note < 128; ++note) {
            const Voice& voice = voices_[static_cast<std::size_t>(ch)][static_cast<std::size_t>(note)];
            if (area < 0 || voice.area == area) EndVoice(ch, note, offset);
            if (voice.area < 0) outputCount_[static_cast<std::size_t>(ch)][static_cast<std::size_t>(note)].fill(0);
        }
}

void NoteRouter::ResetCleanUp(int offset) {
    for (int i = 0; i < kAreas; ++i)
        if (PatternEngine* area = context_->keyAreas->Area(i)) area->Reset(offset);
    for (int i = 0; i < kAreas; ++i) EndPendingKeys(i, offset);
    queuedNoteOns_.fill(0);
    FlushRecords(true);
    EndSoundingNotes(-1, offset);
}

void NoteRouter::Stop(int offset) {
    const bool wasRunning = running_;
    running_ = false;
    // Keys still down stay claimed, so their note-offs reach the (now idle)
    // areas instead of passing through as stray messages.
    ResetCleanUp(offset);
    // Input queued for later in this block is new playing: it stays counted.
    for (std::size_t k = dueHead_; k < due_.size(); ++k)
        if (due_[k].isNoteOn && !due_[k].control)
            for (int i = 0; i < kAreas; ++i)
                if (due_[k].areaMask[static_cast<std::size_t>(i)] == 1) ++queuedNoteOns_[static_cast<std::size_t>(i)];
    context_->notifier->Notify(notify::kRedraw);
    if (wasRunning && listener_ != nullptr) listener_->OnProcessingState(false);
}

void NoteRouter::AreaOff(int area, int offset) {
    if (area < 0 || area >= kAreas) return;
    EndPendingKeys(area, offset);
    for (auto& channel : claims_)
        for (auto& note : channel) note[static_cast<std::size_t>(area)] = 0;
    queuedNoteOns_[static_cast<std::size_t>(area)] = 0;
    FlushRecords();
    EndSoundingNotes(area, offset);
    // Queued input for the area is dropped with it.
    for (std::size_t k = dueHead_; k < due_.size(); ++k) due_[k].areaMask[static_cast<std::size_t>(area)] = -1;
}

void NoteRouter::ReleaseAll() {
    const int offset = inBlock_ ? segmentStart_ : 0;
    Stop(offset);
}

}  // namespace sorel
