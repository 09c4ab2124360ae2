#include "engine/EngineHarness.h"

#include "engine/NoteRouter.h"

namespace sorel::test {

constexpr auto kByTime = [](const auto& a, const auto& b) { return a.time < b.time; };

EngineHarness::EngineHarness(double sampleRate, double bpm)
    : context_(std::make_unique<EngineContext>(&transport_)),
      app_(std::make_unique<VardoApp>(this, &transport_, context_.get())),
      receiver_(context_.get()),
      sampleRate_(sampleRate),
      bpm_(bpm) {
    context_->notifier->SetListener(this);
    // A fresh engine already holds the per-step defaults; pushing them all is slow.
    receiver_.ApplyDefaults(false);
}

void EngineHarness::Chord(int channel, std::initializer_list<int> notes, std::int64_t on, std::int64_t off) {
    for (int n : notes) NoteOn(channel, n, 100, on);
    for (int n : notes) NoteOff(channel, n, off);
}

void EngineHarness::Apply(const Settings& settings) {
    for (const auto& [index, value] : settings) Param(index, value);
}

void EngineHarness::RunUntil(std::int64_t time) {
    while (now_ < time) {
        const int size = blockSizes_[blockIndex_++ % blockSizes_.size()];
        // Parameter changes and other host actions happen between blocks; a
        // stable sort keeps the order in which they were given.
        std::stable_sort(actions_.begin(), actions_.end(), kByTime);
        while (!actions_.empty() && actions_.front().time <= now_) {
            auto run = std::move(actions_.front().run);
            actions_.erase(actions_.begin());
            run();
        }
        RunBlock(static_cast<int>(std::min<std::int64_t>(size, time - now_)));
    }
}

void EngineHarness::FillTransport() {
    transport_.loopJumped = false;
    transport_.sampleRate = sampleRate_;
    transport_.samplesPerBeat = forcedSpb_.value_or(sampleRate_ * 60.0 / bpm_);
    transport_.playing = playing_;
    if (!playing_) return;
    if (loopEnd_ > loopStart_ && loopStart_ >= 0 && songPosition_ >= loopEnd_) {
        songPosition_ = loopStart_ + (songPosition_ - loopEnd_);
        transport_.loopJumped = true;
    }
    transport_.samplePosition = static_cast<double>(songPosition_);
    const double spb = transport_.samplesPerBeat;
    transport_.ppqPosition = spb > 0 ? transport_.samplePosition / spb : 0.0;
}

void EngineHarness::RunBlock(int frames) {
    const std::size_t blockBegin = out_.size();
    std::stable_sort(inputs_.begin(), inputs_.end(), kByTime);
    // Host MIDI of the block reaches the plug-in before the block is processed;
    // what no area takes the frame passes through at the block's end.
    std::vector<MidiOut> passed;
    std::size_t used = 0;
    for (; used < inputs_.size() && inputs_[used].time < now_ + frames; ++used) {
        const KeyEvent& in = inputs_[used];
        const int offset = static_cast<int>(in.time - now_);
        int changed[4] = {-1, -1, -1, -1};
        const bool taken = in.on ? app_->NoteOn(in.channel, in.note, in.velocity, offset, changed) > 0
                                 : app_->NoteOff(in.channel, in.note, offset);
        if (!taken) passed.push_back({in.time, in.on, in.channel, in.note, in.on ? in.velocity : 127});
    }
    inputs_.erase(inputs_.begin(), inputs_.begin() + static_cast<std::ptrdiff_t>(used));
    FillTransport();
    app_->ProcessBlock(transport_.samplesPerBeat, playing_, frames);
    // The host orders a block's events by offset.
    out_.insert(out_.end(), passed.begin(), passed.end());
    std::stable_sort(out_.begin() + static_cast<std::ptrdiff_t>(blockBegin), out_.end(), kByTime);
    now_ += frames;
    if (playing_) songPosition_ += frames;
}

void EngineHarness::OnEngineEvents(std::span<NoteRecord> events, int) {
    for (const NoteRecord& r : events) {
        // A note that sends only controllers makes no note-on; its note-off still goes out.
        if (r.isNoteOn != 0 && r.onlyCc) continue;
        const MidiOut m{now_ + static_cast<std::int64_t>(r.time), r.isNoteOn != 0, r.channel, r.OutputNote(),
                        r.velocity, r.area, r.step};
        checker_.CountNote(static_cast<uint8_t>((m.on ? 0x90 : 0x80) | ((m.channel - 1) & 0x0F)),
                           static_cast<uint8_t>(m.note), m.on ? 1 : 0);
        out_.push_back(m);
    }
}

void EngineHarness::OnEngineNotification(int code, int argument, const NoteRecord*) {
    if (code >= notify::kNextPreset && code <= notify::kProgramChange) notices_.push_back({code, argument});
}

std::vector<MidiOut> EngineHarness::Select(bool on, int area) const {
    std::vector<MidiOut> r;
    for (const MidiOut& m : out_)
        if (m.on == on && (area == kAnySource || m.area == area)) r.push_back(m);
    return r;
}

std::vector<MidiOut> NoteOnsOfHeldKeys(const Settings& settings, const std::vector<int>& keys, int steps, bool apart) {
    EngineHarness h;
    h.Apply(settings);
    for (std::size_t i = 0; i < keys.size(); ++i)
        h.NoteOn(1, keys[i], std::min(127, 40 * static_cast<int>(i + 1)), apart ? static_cast<std::int64_t>(i) : 0);
    h.Run(kStep * steps - 10);
    return h.NoteOns();
}

}  // namespace sorel::test
