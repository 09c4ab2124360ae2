// The engine's one outward channel of news: played steps, redraws, control-zone
// functions. Runs on the audio thread; the listener must only queue the news
// (lock-free) and return, never wait for the editor.
#pragma once

namespace sorel {

struct NoteRecord;

namespace notify {
constexpr int kNoteStarted = 0;       // record: a note-on went out
constexpr int kStepPlayed = 1;        // record: a note-off went out
constexpr int kRedraw = 2;
constexpr int kSelectCurrentPattern = 3;  // argument: key area whose pattern switched
constexpr int kRefresh = 4;
constexpr int kNextPreset = 5;
constexpr int kPreviousPreset = 6;
constexpr int kSelectPattern = 7;     // argument: pattern 0..15
constexpr int kSelectLane = 8;        // argument: lane 0..8
constexpr int kHold = 9;
constexpr int kHoldBypass = 10;
constexpr int kPanic = 11;
constexpr int kProgramChange = 12;    // argument: program number
constexpr int kNoteActivity = 14;     // argument: key area, or -1
constexpr int kLastCode = 14;
}  // namespace notify

class EngineNotificationListener {
public:
    virtual ~EngineNotificationListener() = default;
    // record is set for codes 0 and 1 and valid only during the call.
    virtual void OnEngineNotification(int code, int argument, const NoteRecord* record) = 0;
};

class EngineNotifier {
public:
    void SetListener(EngineNotificationListener* listener) { listener_ = listener; }
    EngineNotificationListener* Listener() const { return listener_; }

    // Codes outside 0..14 are ignored.
    void Notify(int code, int argument = 0, const NoteRecord* record = nullptr);

private:
    EngineNotificationListener* listener_ = nullptr;
};

}  // namespace sorel
