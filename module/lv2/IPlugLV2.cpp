#include "module/lv2/IPlugLV2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include "frame/HostIdentity.h"
#include "frame/Parameter.h"
#include "module/lv2/Lv2Ports.h"

namespace sorel {
namespace {

// Blocks of more messages than this wait in part for the next block.
constexpr size_t kMaxHeldMessages = 4096;
constexpr uint8_t kStatusBit = 0x80;
constexpr int kProgramChangeKind = 0xC;
constexpr int kChannelPressureKind = 0xD;

template <typename T>
const T* FindFeature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features) {
        if (std::strcmp((*features)->URI, uri) == 0) return static_cast<const T*>((*features)->data);
    }
    return nullptr;
}

// The bytes a channel message takes: program change and channel pressure have one data byte.
uint32_t MessageSize(uint8_t status) {
    const int kind = status >> 4;
    return kind == kProgramChangeKind || kind == kChannelPressureKind ? 2 : 3;
}

}  // namespace

IPlugLV2::IPlugLV2(double sampleRate, const LV2_Feature* const* features, Lv2CoreFactory factory)
    : sampleRate_(std::isfinite(sampleRate) && sampleRate > 0.0 ? sampleRate : kDefaultSampleRate),
      transport_(sampleRate_) {
    for (auto& edited : editedTable_) edited.store(kNoEdit);
    auto* map = const_cast<LV2_URID_Map*>(FindFeature<LV2_URID_Map>(features, LV2_URID__map));
    if (!map) throw std::runtime_error("the host offers no urid:map");
    MapUris(*map);
    ReadOptions(features);
    heldOutput_.reserve(kMaxHeldMessages);
    core_ = factory(*this);
    if (!core_) throw std::runtime_error("no plug-in core");
    worker_ = FindFeature<LV2_Worker_Schedule>(features, LV2_WORKER__schedule);
    if (worker_) core_->HandDeferredWorkToHost();
}

IPlugLV2::~IPlugLV2() { core_.reset(); }

void IPlugLV2::MapUris(LV2_URID_Map& map) {
    auto id = [&map](const char* uri) { return map.map(map.handle, uri); };
    uris_ = {id(LV2_ATOM__Chunk),         id(LV2_ATOM__Sequence),         id(LV2_ATOM__Object),
             id(LV2_ATOM__Blank),         id(LV2_ATOM__Float),            id(LV2_ATOM__Double),
             id(LV2_ATOM__Int),           id(LV2_ATOM__Long),             id(LV2_MIDI__MidiEvent),
             id(LV2_TIME__Position),      id(LV2_TIME__frame),            id(LV2_TIME__speed),
             id(LV2_TIME__beatsPerMinute), id(LV2_TIME__bar),             id(LV2_TIME__barBeat),
             id(LV2_TIME__beat),          id(LV2_TIME__beatsPerBar),      id(LV2_TIME__beatUnit),
             id(lv2::kStateKeyUri),       id(LV2_BUF_SIZE__maxBlockLength), id(LV2_BUF_SIZE__nominalBlockLength)};
}

void IPlugLV2::ReadOptions(const LV2_Feature* const* features) {
    const auto* options = FindFeature<LV2_Options_Option>(features, LV2_OPTIONS__options);
    int nominal = 0, maximum = 0;
    for (; options && options->key != 0; ++options) {
        if (options->type != uris_.atomInt || options->size != sizeof(int32_t) || !options->value) continue;
        const int32_t value = *static_cast<const int32_t*>(options->value);
        if (options->key == uris_.nominalBlock) nominal = value;
        if (options->key == uris_.maxBlock) maximum = value;
    }
    if (nominal > 0) {
        blockSize_ = nominal;
    } else if (maximum > 0) {
        blockSize_ = maximum;
    }
}

void IPlugLV2::ConnectPort(uint32_t port, void* data) {
    if (port == lv2::kMidiInPort) {
        midiIn_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == lv2::kMidiOutPort) {
        midiOut_ = static_cast<LV2_Atom_Sequence*>(data);
    } else if (const int hostIndex = lv2::HostIndexOfPort(port); hostIndex >= 0) {
        controls_[size_t(hostIndex)] = static_cast<const float*>(data);
    }
}

void IPlugLV2::Activate() {
    std::lock_guard<std::recursive_mutex> lock(core_->Mutex());
    core_->Open();
    resyncPorts_ = true;
}

float IPlugLV2::CurrentPortValue(int hostIndex) {
    const Parameter* p = core_->HostParameter(hostIndex);
    return p ? static_cast<float>(p->Value()) : 0.0f;
}

// A port the host moved applies from the block's first sample; one it left
// alone does not apply again, since the core may have moved the value since
// (a pattern switch gives the timing ports other parameters).
void IPlugLV2::ApplyChangedPorts() {
    const bool resync = resyncPorts_.exchange(false, std::memory_order_acq_rel);
    for (int i = 0; i < HostParameters::kCount; ++i) {
        const float* port = controls_[size_t(i)];
        if (!port) continue;
        if (resync) seenPorts_[size_t(i)] = CurrentPortValue(i);
        const float value = *port;
        if (value == seenPorts_[size_t(i)] || !std::isfinite(value)) continue;
        seenPorts_[size_t(i)] = value;
        const int tableIndex = core_->HostParameterTableIndex(i);
        if (tableIndex >= 0) core_->SetParameterFromHostText(tableIndex, value);
    }
}

void IPlugLV2::Run(uint32_t frameCount) {
    const int frames = static_cast<int>(std::min<uint32_t>(frameCount, 1u << 24));
    std::lock_guard<std::recursive_mutex> lock(core_->Mutex());
    outCapacity_ = midiOut_ ? midiOut_->atom.size : 0;
    if (midiOut_) lv2_atom_sequence_clear(midiOut_), midiOut_->atom.type = uris_.atomSequence;
    FlushHeldOutput();
    ApplyChangedPorts();
    int partStart = 0;
    lastEventOffset_ = 0;
    if (midiIn_) {
        LV2_ATOM_SEQUENCE_FOREACH(midiIn_, event) { TakeInputEvent(*event, partStart, frames); }
    }
    RunPart(partStart, frames);
    ScheduleDeferredWork();
}

// One request at a time: the work done takes everything that waits by then.
void IPlugLV2::ScheduleDeferredWork() {
    if (!worker_ || workScheduled_.load(std::memory_order_acquire) || !core_->HasDeferredWork()) return;
    static constexpr uint8_t kWakeUp = 1;
    workScheduled_.store(true, std::memory_order_release);
    if (worker_->schedule_work(worker_->handle, sizeof kWakeUp, &kWakeUp) != LV2_WORKER_SUCCESS)
        workScheduled_.store(false, std::memory_order_release);
}

LV2_Worker_Status IPlugLV2::Work() {
    workScheduled_.store(false, std::memory_order_release);
    core_->RunDeferredWork();
    return LV2_WORKER_SUCCESS;
}

// A MIDI message goes to the core at its offset into the current part; a
// position that changes the transport ends the part before it.
void IPlugLV2::TakeInputEvent(const LV2_Atom_Event& event, int& partStart, int frames) {
    const int64_t at = std::clamp<int64_t>(event.time.frames, 0, frames);
    const int offset = std::max(lastEventOffset_, static_cast<int32_t>(at));
    lastEventOffset_ = offset;
    if (event.body.type == uris_.midiEvent) {
        // A message at the block's very end still plays in it.
        if (offset >= frames) lastEventOffset_ = std::max(0, frames - 1);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&event.body + 1);
        if (event.body.size == 0 || event.body.size > 3 || !(bytes[0] & kStatusBit)) return;
        MidiMessage message;
        message.offset = std::max(0, lastEventOffset_ - partStart);
        message.status = bytes[0];
        message.data1 = event.body.size > 1 ? bytes[1] : 0;
        message.data2 = event.body.size > 2 ? bytes[2] : 0;
        core_->HandleMidiMessage(message);
        return;
    }
    if (event.body.type != uris_.atomObject && event.body.type != uris_.atomBlank) return;
    const auto& object = reinterpret_cast<const LV2_Atom_Object&>(event.body);
    if (object.body.otype != uris_.timePosition) return;
    // A position that only continues the count leaves the part whole.
    Lv2Transport probe = transport_;
    probe.Advance(offset - partStart);
    if (!probe.Take(ReadPosition(object))) return;
    RunPart(partStart, offset);
    transport_.Take(ReadPosition(object));
    partStart = offset;
}

std::optional<double> IPlugLV2::Number(const LV2_Atom* atom) const {
    if (!atom) return std::nullopt;
    const void* body = atom + 1;
    if (atom->type == uris_.atomFloat && atom->size >= sizeof(float)) return *static_cast<const float*>(body);
    if (atom->type == uris_.atomDouble && atom->size >= sizeof(double)) return *static_cast<const double*>(body);
    if (atom->type == uris_.atomInt && atom->size >= sizeof(int32_t)) return *static_cast<const int32_t*>(body);
    if (atom->type == uris_.atomLong && atom->size >= sizeof(int64_t))
        return static_cast<double>(*static_cast<const int64_t*>(body));
    return std::nullopt;
}

Lv2Transport::Position IPlugLV2::ReadPosition(const LV2_Atom_Object& object) const {
    const LV2_Atom *frame = nullptr, *speed = nullptr, *bpm = nullptr, *bar = nullptr, *barBeat = nullptr,
                   *beat = nullptr, *beatsPerBar = nullptr, *beatUnit = nullptr;
    lv2_atom_object_get(&object, uris_.timeFrame, &frame, uris_.timeSpeed, &speed, uris_.timeBpm, &bpm, uris_.timeBar,
                        &bar, uris_.timeBarBeat, &barBeat, uris_.timeBeat, &beat, uris_.timeBeatsPerBar, &beatsPerBar,
                        uris_.timeBeatUnit, &beatUnit, 0);
    return {Number(frame), Number(speed), Number(bpm),         Number(bar),
            Number(barBeat), Number(beat), Number(beatsPerBar), Number(beatUnit)};
}

void IPlugLV2::RunPart(int start, int end) {
    if (end <= start) return;
    const TimeInfo time = transport_.Now();
    WriteOutput(core_->ProcessBlock(end - start, time), start);
    transport_.Advance(end - start);
}

bool IPlugLV2::Append(const MidiMessage& message, int64_t frame) {
    struct {
        LV2_Atom_Event head;
        uint8_t bytes[4];
    } event{};
    event.head.time.frames = frame;
    event.head.body.type = uris_.midiEvent;
    event.head.body.size = MessageSize(message.status);
    event.bytes[0] = message.status;
    event.bytes[1] = message.data1;
    event.bytes[2] = message.data2;
    return midiOut_ && lv2_atom_sequence_append_event(midiOut_, outCapacity_, &event.head) != nullptr;
}

// What does not fit stays for the next block, in order: a lost note-off
// would leave a note hanging.
void IPlugLV2::WriteOutput(std::span<const MidiMessage> messages, int offset) {
    for (const MidiMessage& message : messages) {
        if (heldOutput_.empty() && Append(message, offset + message.offset)) continue;
        if (heldOutput_.size() < kMaxHeldMessages) heldOutput_.push_back(message);
    }
}

void IPlugLV2::FlushHeldOutput() {
    size_t sent = 0;
    while (sent < heldOutput_.size() && Append(heldOutput_[sent], 0)) ++sent;
    heldOutput_.erase(heldOutput_.begin(), heldOutput_.begin() + static_cast<std::ptrdiff_t>(sent));
}

LV2_State_Status IPlugLV2::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    void* data = nullptr;
    const intptr_t size = core_->GetState(&data, true);
    if (size <= 0 || !data) return LV2_STATE_ERR_UNKNOWN;
    return store(handle, uris_.stateKey, data, static_cast<size_t>(size), uris_.atomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve(handle, uris_.stateKey, &size, &type, &flags);
    if (!data) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != uris_.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    if (!core_->SetState(data, size, true)) return LV2_STATE_ERR_UNKNOWN;
    // The ports the host holds now are no moves of the restored values.
    resyncPorts_ = true;
    return LV2_STATE_SUCCESS;
}

int IPlugLV2::HostCode() { return kHostUnknown; }

bool IPlugLV2::GetTime(TimeInfo& info) {
    info = transport_.Now();
    return true;
}

void IPlugLV2::ReportParameterEdit(int index, double normalized) {
    const int hostIndex = core_ ? core_->HostIndexOfTable(index) : -1;
    const Parameter* p = core_ ? core_->GetParam(index) : nullptr;
    if (hostIndex >= 0 && p) uiEdits_.Value(hostIndex, static_cast<float>(p->FromNormalized(normalized)));
}

void IPlugLV2::BeginParameterEdit(int index) {
    const int hostIndex = core_ ? core_->HostIndexOfTable(index) : -1;
    if (!HostParameters::Holds(hostIndex)) return;
    editedTable_[size_t(hostIndex)].store(index);
    uiEdits_.Begin(hostIndex);
}

// An edit ends by the host index it began with, even when a pattern switch
// gave the table parameter another one meanwhile.
void IPlugLV2::EndParameterEdit(int index) {
    if (index == kNoEdit) return;
    for (int i = 0; i < HostParameters::kCount; ++i) {
        int expected = index;
        if (editedTable_[size_t(i)].compare_exchange_strong(expected, kNoEdit)) {
            uiEdits_.End(i);
            return;
        }
    }
}

void IPlugLV2::ParameterValuesChanged() { uiEdits_.AllChanged(); }

void IPlugLV2::SetEditorResizer(EditorResizer resizer, void* context) {
    resizerContext_.store(context);
    resizer_.store(resizer);
}

bool IPlugLV2::RequestEditorSize(int width, int height) {
    const EditorResizer resizer = resizer_.load();
    return resizer && resizer(resizerContext_.load(), width, height);
}

}  // namespace sorel
