// The engine's news, passed on: played steps and redraws to the editor,
// pattern, lane and key-area choices onto the parameters that show them,
// preset steps to the persistence worker, hold switches and panic to the
// plug-in.
#pragma once

namespace sorel {

struct NoteRecord;
class Vardo;

class EngineNews {
public:
    explicit EngineNews(Vardo& plugin) : plugin_(plugin) {}

    // One notification (see EngineNotifier.h); `record` only for a step's.
    void Pass(int code, int argument, const NoteRecord* record);

private:
    // A change of what the editor shows; false when nothing goes to it.
    bool ToEditor(int code, const NoteRecord* record);

    Vardo& plugin_;
};

}  // namespace sorel
