// Everything a format's binding needs of the plug-in: blocks with MIDI in and
// out, the state, the editor on a parent window, the parameters and the
// programs, and the names of the MIDI keys. The binding owns the core and
// answers its calls back through a PluginHost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "frame/MidiMessage.h"
#include "frame/TimeInfo.h"

namespace sorel {

class Parameter;

// How the plug-in presents itself to a host.
struct PluginIdentity {
    const char* effectName;
    const char* vendor;
    const char* product;
    int32_t uniqueId;
    int32_t version;
    int inputs;
    int outputs;
};

class PluginCore {
public:
    virtual ~PluginCore() = default;

    virtual const PluginIdentity& Identity() const = 0;
    // The plug-in lock: a binding holds it around every call but the state,
    // the editor window's opening and closing, and the idle calls.
    virtual std::recursive_mutex& Mutex() = 0;

    // The host opened the instance: every value is handed to the engine again.
    virtual void Open() = 0;

    // --- blocks ---
    // One incoming message, offset into the coming block, before it runs.
    virtual void HandleMidiMessage(const MidiMessage& message) = 0;
    // Runs a block at the host's transport and gives what goes out in it,
    // in order, with offsets into the block; valid until the next block.
    virtual std::span<const MidiMessage> ProcessBlock(int frames, const TimeInfo& time) = 0;

    // --- the parameters a host shows: a chosen few, by host index ---
    virtual int HostParameterCount() const = 0;
    // The table parameter a host index stands for at this moment; null outside the list.
    virtual Parameter* HostParameter(int hostIndex) = 0;
    // Its index in the table; -1 outside the list.
    virtual int HostParameterTableIndex(int hostIndex) = 0;
    // The host index that stands for a table index at this moment; -1 for none.
    virtual int HostIndexOfTable(int tableIndex) = 0;
    // The host's own name for it; empty outside the list.
    virtual const std::string& HostParameterName(int hostIndex) const = 0;

    // --- the whole table, by table index, for the plug-in's own tools ---
    virtual int TableSize() const = 0;
    virtual Parameter* GetParam(int index) = 0;
    virtual void SetParameterFromHost(int index, double normalized) = 0;
    virtual double GetParameterNormalized(int index) = 0;
    // A plain value the host typed.
    virtual void SetParameterFromHostText(int index, double plain) = 0;

    // --- the programs: a list fixed while the instance lives ---
    virtual int ProgramCount() const = 0;
    // "style: name" of a program, at most maxLength characters; empty outside the list.
    virtual std::string ProgramLabel(int index, size_t maxLength) const = 0;
    // Starts loading a program away from the calling thread and makes it the
    // current one; false (nothing changes) outside the list.
    virtual bool SelectProgram(int index) = 0;
    // The program chosen last, 0 before any.
    virtual int CurrentProgram() const = 0;
    // The current program's name, which the host may rename.
    virtual const std::string& ProgramName() const = 0;
    virtual void SetProgramName(const char* name) = 0;

    // --- the state, called without the plug-in lock ---
    // Size of the state placed at *data (kept until the next call), 0 for none.
    virtual intptr_t GetState(void** data, bool isBank) = 0;
    virtual bool SetState(const void* data, size_t size, bool isBank) = 0;

    // --- the editor ---
    virtual bool HasEditor() const = 0;
    virtual bool OpenEditor(void* parentWindow) = 0;
    virtual void CloseEditor() = 0;
    virtual bool EditorSize(int& width, int& height) const = 0;
    // The editor's own window inside the parent (an X window id), 0 while
    // none is open: formats whose host embeds it by its id ask for it.
    virtual uint64_t EditorWindow() const = 0;
    // The host's idle calls: work that must not run on the audio thread.
    virtual void Idle() = 0;

    // --- work the audio thread leaves for later (preset steps, the settings file) ---
    // A host's own worker thread runs it from now on, through RunDeferredWork;
    // the plug-in's own thread no longer does.
    virtual void HandDeferredWorkToHost() {}
    // Work waits; safe on the audio thread.
    virtual bool HasDeferredWork() const { return false; }
    // Does what waits, on the host's worker thread.
    virtual void RunDeferredWork() {}

    // The name a host shows for a MIDI key; false for none.
    virtual bool KeyName(int note, std::string& name) = 0;
};

}  // namespace sorel
