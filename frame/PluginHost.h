// What the plug-in asks of the host that loaded it, whatever its format:
// the host's identity, its audio settings and transport, and the calls that
// tell it of an edit or ask it for a window size.
#pragma once

#include "frame/TimeInfo.h"

namespace sorel {

class PluginHost {
public:
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr int kDefaultBlockSize = 1024;

    virtual ~PluginHost() = default;

    // The host code of the product string (see HostIdentity.h) and its version.
    virtual int HostCode() = 0;
    virtual int HostVersion() = 0;
    virtual double SampleRate() const = 0;
    virtual int BlockSize() const = 0;
    // The host's transport; false (all defaults kept) when it says nothing.
    virtual bool GetTime(TimeInfo& info) = 0;
    // A user changed a parameter the host may automate.
    virtual void ReportParameterEdit(int index, double normalized) = 0;
    // A user's gesture on the parameter begins or ends: between the two the
    // host records its edits as one touch of the control.
    virtual void BeginParameterEdit(int index) = 0;
    virtual void EndParameterEdit(int index) = 0;
    // Values the host shows changed without the host: it should read them
    // again. Never called on the audio thread.
    virtual void ParameterValuesChanged() = 0;
    // Asks the host to give the editor window a new size; false when it will not.
    virtual bool RequestEditorSize(int width, int height) = 0;
};

// No host at all: a tool or a benchmark that drives the plug-in itself.
class NoHost : public PluginHost {
public:
    int HostCode() override { return 0; }
    int HostVersion() override { return 0; }
    double SampleRate() const override { return kDefaultSampleRate; }
    int BlockSize() const override { return kDefaultBlockSize; }
    bool GetTime(TimeInfo&) override { return false; }
    void ReportParameterEdit(int, double) override {}
    void BeginParameterEdit(int) override {}
    void EndParameterEdit(int) override {}
    void ParameterValuesChanged() override {}
    bool RequestEditorSize(int, int) override { return false; }
};

}  // namespace sorel
