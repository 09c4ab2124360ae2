// The parameter side of a plug-in core: the parameter table, the plug-in
// lock and the one program slot. Every change of a value happens under the
// lock and ends in OnParamChange.
#pragma once

#include <mutex>
#include <string>

#include "frame/HostParameters.h"
#include "frame/ParameterTable.h"
#include "frame/PluginCore.h"

namespace sorel {

// Who changed a parameter; actions bound to tool and menu parameters run
// only for a user's change, never when every value is re-applied.
enum class ChangeSource { User, Host, Reapply };

class IPlugBase : public PluginCore {
public:
    static constexpr size_t kProgramNameLength = 24;

    IPlugBase();
    ~IPlugBase() override = default;
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    std::recursive_mutex& Mutex() override { return mutex_; }
    ParameterTable& Params() { return params_; }
    const ParameterTable& Params() const { return params_; }
    Parameter* GetParam(int index) override { return params_.Get(index); }
    int TableSize() const override { return ParameterTable::Size(); }
    int HostParameterCount() const override { return HostParameters::kCount; }
    Parameter* HostParameter(int hostIndex) override { return params_.Get(HostParameterTableIndex(hostIndex)); }
    int HostParameterTableIndex(int hostIndex) override {
        return HostParameters::Get().TableIndex(hostIndex, params_);
    }
    int HostIndexOfTable(int tableIndex) override { return HostParameters::Get().HostIndexOf(tableIndex, params_); }
    const std::string& HostParameterName(int hostIndex) const override {
        return HostParameters::Get().Name(hostIndex);
    }
    void Open() override { ReapplyAllParameters(); }

    // The editor's way to change a parameter, by normalised or plain value.
    void SetParameterFromGUI(int index, double normalized);
    void SetPlainFromGUI(int index, double plain);
    void SetParameterFromHost(int index, double normalized) override;
    double GetParameterNormalized(int index) override;
    void SetParameterFromHostText(int index, double plain) override {
        SetParameterValue(index, plain, ChangeSource::Host);
    }
    // Sets a plain value (limited to the range) and applies it.
    void SetParameterValue(int index, double plain, ChangeSource source = ChangeSource::User);

    void OnParamChange(int index, ChangeSource source = ChangeSource::User);
    // Hands every value to the engine again, in index order, without
    // carrying out tool or menu actions (after open, after a state load).
    // A value still at its default is skipped where the plug-in says its
    // engine holds that default already.
    void ReapplyAllParameters();

    bool SelectProgram(int index) override;
    int CurrentProgram() const override { return currentProgram_; }
    const std::string& ProgramName() const override { return programName_; }
    void SetProgramName(const char* name) override;

protected:
    // The plug-in's reaction to a changed value.
    virtual void OnParameterChanged(int index, double value, ChangeSource source) = 0;
    // A user changed the value from `before` to `after` (before the change
    // is handled).
    virtual void OnEditFromGUI(int index, double before, double after) {}
    // Reports a user's change to the host, where the host has parameters.
    virtual void ReportToHost(int index, double normalized) {}
    // Tells the editor that a parameter shows a new value.
    virtual void ShowInEditor(int index, double normalized) {}
    // True where the engine holds the parameter's default whenever the table
    // does, so that handing it over again changes nothing.
    virtual bool EngineKeepsDefault(int index) const { return false; }
    // Hands program `index` to the loader; false when there is no such program.
    virtual bool LoadProgram(int index) { return false; }

private:
    void ChangedFromGUI(int index, const Parameter& p, double before);

    std::recursive_mutex mutex_;
    ParameterTable params_;
    std::string programName_ = "Empty";
    int currentProgram_ = 0;
};

}  // namespace sorel
