#include "frame/MidiInput.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/ScaleState.h"
#include "frame/Vardo.h"

namespace sorel {

using namespace param;

void MidiInput::Handle(const MidiMessage& incoming, int blockSize) {
    // Malformed data never indexes anything. System messages do not travel
    // as short events (system exclusive has its own event type): passed on,
    // a stray 0xF0 would make the instrument swallow what follows.
    if (incoming.status < 0x80 || incoming.status >= 0xF0 || !incoming.HasValidDataBytes()) return;
    MidiMessage message = incoming;
    message.offset = std::clamp(message.offset, 0, std::max(0, blockSize - 1));
    switch (message.Kind()) {
        case midi::kNoteOff:
            HandleNoteOff(message);
            break;
        case midi::kNoteOn:
            if (message.data2 == 0)
                HandleNoteOff(message);
            else
                HandleNoteOn(message);
            break;
        case midi::kControlChange:
            HandleControlChange(message);
            break;
        case midi::kProgramChange:
            plugin_.App().ProgramChange(message.data1);
            break;
        case midi::kPitchWheel:
            if (!HandleControllerInput(midi::kPitchWheelController, message.data2)) output_.Queue(message);
            break;
        default:
            output_.Queue(message);
            break;
    }
}

void MidiInput::ServeCcTeach() {
    int controller = 0, value = 0, channel = 1;
    if (plugin_.teach_.NextBlock(plugin_.CcNumbers(), controller, value, channel))
        output_.Queue(MidiMessage::ControlChange(controller, value / 127.0, channel, 0));
}

void MidiInput::HandleNoteOn(const MidiMessage& message) {
    int changedAreas[kKeyAreas] = {-1, -1, -1, -1};
    const int result =
        plugin_.App().NoteOn(message.Channel(), message.data1, message.data2, message.offset, changedAreas);
    if (result < 1) {
        PassThroughNoteOn(message);
    } else if (result > 1) {
        for (int a = 0; a < kKeyAreas; ++a)
            if (changedAreas[a] > 0) plugin_.Link().AreaNoteIn(a);
    }
}

int MidiInput::PassThroughNote(int note) const {
    if (!plugin_.transposeAllOutput_) return note;
    const PatternEngine* first = plugin_.App().Area(0);
    return first ? std::clamp(first->Scale().Quantise(note), 0, 127) : note;
}

void MidiInput::PassThroughNoteOn(const MidiMessage& message) {
    MidiMessage sent = message;
    sent.data1 = static_cast<uint8_t>(PassThroughNote(message.data1));
    passThrough_.Remember(message.Channel(), message.data1, sent.data1);
    output_.Queue(sent, message.data1);
}

void MidiInput::HandleNoteOff(const MidiMessage& message) {
    const bool taken = plugin_.App().NoteOff(message.Channel(), message.data1, message.offset);
    int sentNote = 0;
    if (passThrough_.Take(message.Channel(), message.data1, sentNote)) {
        // The key sounded as played: end exactly the note that went out.
        MidiMessage off = message;
        off.data1 = static_cast<uint8_t>(sentNote);
        output_.Queue(off, message.data1);
        return;
    }
    if (taken || ClaimedByArea(message.Channel(), message.data1)) return;
    MidiMessage off = message;
    off.data1 = static_cast<uint8_t>(PassThroughNote(message.data1));
    output_.Queue(off);
}

bool MidiInput::ClaimedByArea(int channel, int note) const {
    for (int a = 0; a < kKeyAreas; ++a) {
        const PatternEngine* area = plugin_.App().Area(a);
        if (area && area->Accepts(channel, note)) return true;
    }
    return false;
}

void MidiInput::HandleControlChange(const MidiMessage& message) {
    const int controller = message.data1;
    if (controller == midi::kAllNotesOff) {
        plugin_.RequestPanic();
    } else if (controller >= 1 && controller <= 119) {
        if (!HandleControllerInput(controller, message.data2)) output_.Queue(message);
    }
    // Controller 0 and the channel-mode messages 120..127 are not passed on.
}

bool MidiInput::HandleControllerInput(int controller, int value) {
    int target = -1;
    double normalized = 0.0;
    const bool learning = plugin_.Learn().LearnTarget() != MidiLearn::kUnbound;
    if (!plugin_.Learn().Route(controller, value, target, normalized)) return false;
    if (learning) ShowLearnt(controller, target);
    const Parameter* p = plugin_.GetParam(target);
    if (std::fabs(p->Normalized() - normalized) > 1e-9) {
        plugin_.SetParameterFromGUI(target, normalized);
        plugin_.ShowInEditor(target, plugin_.GetParam(target)->Normalized());
    }
    return true;
}

void MidiInput::ShowLearnt(int controller, int target) {
    std::array<char, EditorLink::kStatusLength> text{};
    plugin_.Link().PostStatus(MidiLearn::LearntStatus(controller, plugin_.GetParam(target)->Name(), text));
}

}  // namespace sorel
