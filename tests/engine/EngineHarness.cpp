#include "engine/EngineHarness.h"

#include <algorithm>

#include "engine/NoteRouter.h"
#include "engine/PatternEngine.h"

namespace sorel::test {

EngineHarness::EngineHarness(double sampleRate, double bpm, bool stepDefaults)
    : context_(std::make_unique<EngineContext>(&transport_)),
      app_(std::make_unique<VardoApp>(this, &transport_, context_.get())),
      receiver_(context_.get()),
      sampleRate_(sampleRate),
      bpm_(bpm) {
    context_->notifier->SetListener(this);
    // A fresh engine already holds the per-step defaults; pushing them all is slow.
    receiver_.ApplyDefaults(stepDefaults);
    out_.reserve(1 << 16);
    blockOut_.reserve(1 << 14);
}

EngineHarness::~EngineHarness() = default;

void EngineHarness::Play(std::int64_t samplePosition) {
    playing_ = true;
    songPosition_ = samplePosition;
}

void EngineHarness::NoteOn(int channel, int note, int velocity, std::int64_t time) {
    inputs_.push_back({std::max(time, now_), true, channel, note, velocity, inputOrder_++});
}

void EngineHarness::NoteOff(int channel, int note, std::int64_t time) {
    inputs_.push_back({std::max(time, now_), false, channel, note, 0, inputOrder_++});
}

void EngineHarness::Chord(int channel, std::initializer_list<int> notes, std::int64_t on, std::int64_t off, int velocity) {
    for (int n : notes) NoteOn(channel, n, velocity, on);
    for (int n : notes) NoteOff(channel, n, off);
}

void EngineHarness::At(std::int64_t time, std::function<void()> action) { actions_.push_back({time, std::move(action)}); }

void EngineHarness::RunUntil(std::int64_t time) {
    while (now_ < time) {
        int frames = blockSizes_[blockIndex_ % blockSizes_.size()];
        ++blockIndex_;
        frames = static_cast<int>(std::min<std::int64_t>(frames, time - now_));
        // Parameter changes and other host actions happen between blocks.
        std::stable_sort(actions_.begin(), actions_.end(), [](const Action& a, const Action& b) { return a.time < b.time; });
        while (!actions_.empty() && actions_.front().time <= now_) {
            auto run = std::move(actions_.front().run);
            actions_.erase(actions_.begin());
            run();
        }
        RunBlock(frames);
    }
}

void EngineHarness::FillTransport(int frames) {
    const double spb = forceSpb_ ? forcedSpb_ : SamplesPerBeat();
    transport_.loopJumped = false;
    transport_.sampleRate = sampleRate_;
    transport_.samplesPerBeat = spb;
    transport_.playing = playing_;
    if (playing_) {
        if (loopEnd_ > loopStart_ && loopStart_ >= 0 && songPosition_ >= loopEnd_) {
            songPosition_ = loopStart_ + (songPosition_ - loopEnd_);
            transport_.loopJumped = true;
        }
        transport_.samplePosition = static_cast<double>(songPosition_);
        transport_.ppqPosition = spb > 0 ? static_cast<double>(songPosition_) / spb : 0.0;
    }
}

void EngineHarness::RunBlock(int frames) {
    blockStart_ = now_;
    blockOut_.clear();
    std::stable_sort(inputs_.begin(), inputs_.end(), [](const Input& a, const Input& b) {
        return a.time != b.time ? a.time < b.time : a.order < b.order;
    });
    // Host MIDI of the block reaches the plug-in before the block is processed.
    std::size_t used = 0;
    for (; used < inputs_.size() && inputs_[used].time < now_ + frames; ++used) {
        const Input& in = inputs_[used];
        const int offset = static_cast<int>(in.time - now_);
        bool taken;
        if (in.on) {
            int changed[4] = {-1, -1, -1, -1};
            taken = app_->NoteOn(in.channel, in.note, in.velocity, offset, changed) > 0;
        } else {
            taken = app_->NoteOff(in.channel, in.note, offset);
        }
        if (!taken) {
            MidiOut thru;
            thru.time = in.time;
            thru.on = in.on;
            thru.channel = in.channel;
            thru.note = in.note;
            thru.velocity = in.on ? in.velocity : 127;
            thru.area = -1;
            blockOut_.push_back(thru);
        }
    }
    inputs_.erase(inputs_.begin(), inputs_.begin() + static_cast<std::ptrdiff_t>(used));
    FillTransport(frames);
    std::vector<MidiOut> passed = std::move(blockOut_);
    blockOut_.clear();
    app_->ProcessBlock(transport_.samplesPerBeat, playing_, frames);
    // The frame sends engine MIDI during the block and the pass-through at its
    // end; the host orders a block's events by offset.
    blockOut_.insert(blockOut_.end(), passed.begin(), passed.end());
    std::stable_sort(blockOut_.begin(), blockOut_.end(), [](const MidiOut& a, const MidiOut& b) { return a.time < b.time; });
    out_.insert(out_.end(), blockOut_.begin(), blockOut_.end());
    now_ += frames;
    if (playing_) songPosition_ += frames;
}

void EngineHarness::OnEngineEvents(std::span<NoteRecord> events, int segmentLength) {
    for (const NoteRecord& r : events) {
        MidiOut m;
        m.time = blockStart_ + static_cast<std::int64_t>(r.time);
        m.on = r.isNoteOn != 0;
        m.channel = r.channel;
        m.note = r.OutputNote();
        m.velocity = r.velocity;
        m.area = r.area;
        m.step = r.step;
        m.onlyCc = r.onlyCc;
        m.cc = r.ccValues;
        // A note that sends only controllers makes no note-on; its note-off still goes out.
        if (m.on && m.onlyCc) continue;
        checker_.CountNote(static_cast<uint8_t>((m.on ? 0x90 : 0x80) | ((m.channel - 1) & 0x0F)),
                           static_cast<uint8_t>(m.note), m.on ? 1 : 0);
        blockOut_.push_back(m);
    }
}

std::vector<MidiOut> EngineHarness::NoteOns(int area) const {
    std::vector<MidiOut> r;
    for (const MidiOut& m : out_)
        if (m.on && (area == -2 || m.area == area)) r.push_back(m);
    return r;
}

std::vector<MidiOut> EngineHarness::NoteOffs(int area) const {
    std::vector<MidiOut> r;
    for (const MidiOut& m : out_)
        if (!m.on && (area == -2 || m.area == area)) r.push_back(m);
    return r;
}

std::vector<int> EngineHarness::NoteNumbers(const std::vector<MidiOut>& events) const {
    std::vector<int> r;
    for (const MidiOut& m : events) r.push_back(m.note);
    return r;
}

std::vector<std::int64_t> EngineHarness::Times(const std::vector<MidiOut>& events) const {
    std::vector<std::int64_t> r;
    for (const MidiOut& m : events) r.push_back(m.time);
    return r;
}

}  // namespace sorel::test
