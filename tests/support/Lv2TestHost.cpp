#include "support/Lv2TestHost.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

namespace sorel::test {
namespace {

constexpr const char* kPluginUri = "https://vardo.example/plugins/sorel";
constexpr size_t kInputBytes = 65536;
constexpr uint8_t kGuardByte = 0xA5;
constexpr size_t kGuardBytes = 256;

std::string LilvPath() {
    const char* path = std::getenv("SOREL_LV2_PATH");
    return path ? path : "";
}

}  // namespace

Lv2TestHost::Lv2TestHost(double sampleRate, uint32_t outputBytes, bool offersWorker)
    : sampleRate_(sampleRate), outputBytes_(outputBytes), sequenceSize_(static_cast<int32_t>(outputBytes)) {
    map_ = {this, &MapEntry};
    unmap_ = {this, &UnmapEntry};
    const LV2_URID atomInt = Map(LV2_ATOM__Int);
    ids_ = {Map(LV2_ATOM__Chunk),   Map(LV2_ATOM__Sequence),  Map(LV2_MIDI__MidiEvent), Map(LV2_TIME__Position),
            Map(LV2_TIME__frame),   Map(LV2_TIME__speed),     Map(LV2_TIME__barBeat),   Map(LV2_TIME__bar),
            Map(LV2_TIME__beatUnit), Map(LV2_TIME__beatsPerBar), Map(LV2_TIME__beatsPerMinute)};
    event_.reserve(1024);
    options_ = {{LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), atomInt, &minBlock_},
                {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), atomInt, &maxBlock_},
                {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), atomInt,
                 &nominalBlock_},
                {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__sequenceSize), sizeof(int32_t), atomInt, &sequenceSize_},
                {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    featureStore_ = {{LV2_URID__map, &map_},
                     {LV2_URID__unmap, &unmap_},
                     {LV2_OPTIONS__options, options_.data()},
                     {LV2_BUF_SIZE__boundedBlockLength, nullptr},
                     {LV2_STATE__threadSafeRestore, nullptr}};
    schedule_ = {this, &ScheduleWork};
    if (offersWorker) featureStore_.push_back({LV2_WORKER__schedule, &schedule_});
    for (const LV2_Feature& f : featureStore_) features_.push_back(&f);
    features_.push_back(nullptr);

    world_ = lilv_world_new();
    LilvNode* path = lilv_new_string(world_, LilvPath().c_str());
    lilv_world_set_option(world_, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(world_);
    LilvNode* uri = lilv_new_uri(world_, kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
    if (!plugin_) return;

    input_.assign(kInputBytes / sizeof(uint64_t), 0);
    output_.assign((outputBytes_ + kGuardBytes) / sizeof(uint64_t) + 1, 0);
    instance_ = lilv_plugin_instantiate(plugin_, sampleRate_, features_.data());
    if (!instance_) return;
    const uint32_t ports = lilv_plugin_get_num_ports(plugin_);
    std::vector<float> defaults(ports), minimum(ports), maximum(ports);
    lilv_plugin_get_port_ranges_float(plugin_, minimum.data(), maximum.data(), defaults.data());
    LilvNode* controlClass = lilv_new_uri(world_, LV2_CORE__ControlPort);
    for (uint32_t i = 0; i < ports; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
        if (!lilv_port_is_a(plugin_, port, controlClass)) continue;
        const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin_, port));
        controls_[symbol] = {i, defaults[i]};
        lilv_instance_connect_port(instance_, i, &controls_[symbol].value);
    }
    lilv_node_free(controlClass);
    lilv_instance_connect_port(instance_, 0, input_.data());
    lilv_instance_connect_port(instance_, 1, output_.data());
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(input_.data());
    in->atom = {sizeof(LV2_Atom_Sequence_Body), Map(LV2_ATOM__Sequence)};
    in->body = {0, 0};
    lilv_instance_activate(instance_);
}

Lv2TestHost::~Lv2TestHost() {
    if (instance_) {
        lilv_instance_deactivate(instance_);
        lilv_instance_free(instance_);
    }
    lilv_world_free(world_);
}

LV2_URID Lv2TestHost::Map(const char* uri) {
    std::lock_guard<std::mutex> lock(mapMutex_);
    auto [it, added] = uris_.emplace(uri, static_cast<LV2_URID>(names_.size() + 1));
    if (added) names_.push_back(uri);
    return it->second;
}

std::string Lv2TestHost::Unmap(LV2_URID urid) const {
    std::lock_guard<std::mutex> lock(mapMutex_);
    return urid >= 1 && urid <= names_.size() ? names_[urid - 1] : std::string();
}

LV2_URID Lv2TestHost::MapEntry(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<Lv2TestHost*>(handle)->Map(uri);
}

const char* Lv2TestHost::UnmapEntry(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    auto* self = static_cast<Lv2TestHost*>(handle);
    std::lock_guard<std::mutex> lock(self->mapMutex_);
    return urid >= 1 && urid <= self->names_.size() ? self->names_[urid - 1].c_str() : nullptr;
}

LV2_Worker_Status Lv2TestHost::ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data) {
    auto* self = static_cast<Lv2TestHost*>(handle);
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::lock_guard<std::mutex> lock(self->workMutex_);
    self->work_.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
}

int Lv2TestHost::RunWork() {
    std::vector<std::vector<uint8_t>> work;
    {
        std::lock_guard<std::mutex> lock(workMutex_);
        work.swap(work_);
    }
    const auto* worker =
        static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    auto respond = [](LV2_Worker_Respond_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; };
    for (const auto& request : work)
        worker->work(lilv_instance_get_handle(instance_), respond, nullptr, uint32_t(request.size()), request.data());
    return static_cast<int>(work.size());
}

void Lv2TestHost::AppendInput(int64_t frame, uint32_t type, const void* body, uint32_t size) {
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(input_.data());
    event_.resize(sizeof(LV2_Atom_Event) + size);
    auto* head = reinterpret_cast<LV2_Atom_Event*>(event_.data());
    head->time.frames = frame;
    head->body = {size, type};
    std::memcpy(event_.data() + sizeof(LV2_Atom_Event), body, size);
    if (!lv2_atom_sequence_append_event(in, kInputBytes - sizeof(LV2_Atom), head))
        throw std::runtime_error("the test's input sequence is full");
}

void Lv2TestHost::QueueMidi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
    const uint8_t bytes[3] = {status, data1, data2};
    AppendInput(frame, ids_.midiEvent, bytes, (status >> 4) == 0xC || (status >> 4) == 0xD ? 2 : 3);
}

void Lv2TestHost::QueuePosition(int64_t frame, const Lv2Position& p) {
    uint8_t buffer[512];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map_);
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
    LV2_Atom_Forge_Frame object;
    auto* atom = reinterpret_cast<LV2_Atom*>(lv2_atom_forge_object(&forge, &object, 0, ids_.position));
    if (p.frame) lv2_atom_forge_key(&forge, ids_.frame), lv2_atom_forge_long(&forge, *p.frame);
    if (p.speed) lv2_atom_forge_key(&forge, ids_.speed), lv2_atom_forge_float(&forge, *p.speed);
    if (p.barBeat) lv2_atom_forge_key(&forge, ids_.barBeat), lv2_atom_forge_float(&forge, *p.barBeat);
    if (p.bar) lv2_atom_forge_key(&forge, ids_.bar), lv2_atom_forge_long(&forge, *p.bar);
    if (p.beatUnit) lv2_atom_forge_key(&forge, ids_.beatUnit), lv2_atom_forge_int(&forge, *p.beatUnit);
    if (p.beatsPerBar)
        lv2_atom_forge_key(&forge, ids_.beatsPerBar), lv2_atom_forge_float(&forge, *p.beatsPerBar);
    if (p.beatsPerMinute)
        lv2_atom_forge_key(&forge, ids_.bpm), lv2_atom_forge_float(&forge, *p.beatsPerMinute);
    lv2_atom_forge_pop(&forge, &object);
    AppendInput(frame, atom->type, atom + 1, atom->size);
}

std::vector<Lv2Midi> Lv2TestHost::Run(uint32_t frames) {
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(output_.data());
    // Only the guard beyond the room given: a host clears no more than that.
    std::memset(reinterpret_cast<uint8_t*>(output_.data()) + outputBytes_, kGuardByte, kGuardBytes);
    out->atom = {outputBytes_ - static_cast<uint32_t>(sizeof(LV2_Atom)), ids_.chunk};
    lilv_instance_run(instance_, frames);
    std::vector<Lv2Midi> heard;
    lastOutputSize_ = out->atom.size;
    if (out->atom.type == ids_.sequence && lastOutputSize_ <= outputBytes_ - sizeof(LV2_Atom)) {
        LV2_ATOM_SEQUENCE_FOREACH(out, event) {
            if (event->body.type != ids_.midiEvent) continue;
            const auto* bytes = reinterpret_cast<const uint8_t*>(event + 1);
            heard.push_back({event->time.frames, bytes[0], event->body.size > 1 ? bytes[1] : uint8_t(0),
                             event->body.size > 2 ? bytes[2] : uint8_t(0)});
        }
    }
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(input_.data());
    in->atom.size = sizeof(LV2_Atom_Sequence_Body);
    return heard;
}

bool Lv2TestHost::OutputGuardIntact() const {
    const auto* bytes = reinterpret_cast<const uint8_t*>(output_.data());
    for (size_t i = outputBytes_; i < outputBytes_ + kGuardBytes; ++i)
        if (bytes[i] != kGuardByte) return false;
    return true;
}

void Lv2TestHost::SetControl(const std::string& symbol, float value) { controls_.at(symbol).value = value; }
float Lv2TestHost::Control(const std::string& symbol) const { return controls_.at(symbol).value; }

std::vector<std::string> Lv2TestHost::ControlSymbols() const {
    std::vector<std::pair<uint32_t, std::string>> byIndex;
    for (const auto& [symbol, port] : controls_) byIndex.emplace_back(port.index, symbol);
    std::sort(byIndex.begin(), byIndex.end());
    std::vector<std::string> symbols;
    for (auto& entry : byIndex) symbols.push_back(entry.second);
    return symbols;
}

std::map<std::string, Lv2TestHost::Property> Lv2TestHost::SaveProperties() {
    struct Saving {
        Lv2TestHost* host;
        std::map<std::string, Property> properties;
    } saving{this, {}};
    auto store = [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                    uint32_t flags) -> LV2_State_Status {
        auto* s = static_cast<Saving*>(handle);
        const auto* bytes = static_cast<const uint8_t*>(value);
        s->properties[s->host->Unmap(key)] = {s->host->Unmap(type), {bytes, bytes + size}, flags};
        return LV2_STATE_SUCCESS;
    };
    const auto* state =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    if (state && state->save(lilv_instance_get_handle(instance_), store, &saving, 0, features_.data()) !=
                     LV2_STATE_SUCCESS)
        saving.properties.clear();
    return saving.properties;
}

int Lv2TestHost::RestoreProperties(const std::map<std::string, Property>& properties) {
    struct Restoring {
        Lv2TestHost* host;
        const std::map<std::string, Property>* properties;
    } restoring{this, &properties};
    auto retrieve = [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                       uint32_t* flags) -> const void* {
        auto* r = static_cast<Restoring*>(handle);
        const auto found = r->properties->find(r->host->Unmap(key));
        if (found == r->properties->end()) return nullptr;
        *size = found->second.bytes.size();
        *type = r->host->Map(found->second.type.c_str());
        *flags = found->second.flags;
        return found->second.bytes.data();
    };
    const auto* state =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    return state ? state->restore(lilv_instance_get_handle(instance_), retrieve, &restoring, 0, features_.data())
                 : LV2_STATE_ERR_NO_FEATURE;
}

void Lv2TestHost::SetPortValue(const char* symbol, void* self, const void* value, uint32_t size, uint32_t type) {
    auto* host = static_cast<Lv2TestHost*>(self);
    const auto found = host->controls_.find(symbol);
    if (found == host->controls_.end() || size != sizeof(float) || type != host->Map(LV2_ATOM__Float)) return;
    std::memcpy(&found->second.value, value, sizeof(float));
}

const void* Lv2TestHost::GetPortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type) {
    auto* host = static_cast<Lv2TestHost*>(self);
    const auto found = host->controls_.find(symbol);
    if (found == host->controls_.end()) return nullptr;
    *size = sizeof(float);
    *type = host->Map(LV2_ATOM__Float);
    return &found->second.value;
}

std::string Lv2TestHost::SnapshotText() {
    LilvState* state = lilv_state_new_from_instance(plugin_, instance_, &map_, nullptr, nullptr, nullptr, nullptr,
                                                    &GetPortValue, this, 0, features_.data());
    if (!state) return {};
    char* text = lilv_state_to_string(world_, &map_, &unmap_, state, "urn:sorel:test-snapshot", nullptr);
    std::string result = text ? text : "";
    lilv_free(text);
    lilv_state_free(state);
    return result;
}

bool Lv2TestHost::RestoreState(LilvState* state) {
    if (!state) return false;
    lilv_state_restore(state, instance_, &SetPortValue, this, 0, features_.data());
    lilv_state_free(state);
    return true;
}

bool Lv2TestHost::LoadSnapshotText(const std::string& text) {
    return RestoreState(lilv_state_new_from_string(world_, &map_, text.c_str()));
}

std::map<std::string, std::string> Lv2TestHost::Presets() {
    std::map<std::string, std::string> presets;
    LilvNode* presetClass = lilv_new_uri(world_, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(world_, LILV_NS_RDFS "label");
    LilvNodes* related = lilv_plugin_get_related(plugin_, presetClass);
    LILV_FOREACH (nodes, i, related) {
        const LilvNode* preset = lilv_nodes_get(related, i);
        lilv_world_load_resource(world_, preset);
        LilvNodes* labels = lilv_world_find_nodes(world_, preset, label, nullptr);
        if (labels && lilv_nodes_size(labels) > 0)
            presets[lilv_node_as_string(lilv_nodes_get_first(labels))] = lilv_node_as_uri(preset);
        lilv_nodes_free(labels);
    }
    lilv_nodes_free(related);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    return presets;
}

bool Lv2TestHost::LoadPreset(const std::string& uri) {
    LilvNode* node = lilv_new_uri(world_, uri.c_str());
    LilvState* state = lilv_state_new_from_world(world_, &map_, node);
    lilv_node_free(node);
    return RestoreState(state);
}

}  // namespace sorel::test
