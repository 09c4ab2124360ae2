#include "frame/IPlugBase.h"

#include <cstring>

namespace sorel {

// The host's list is built here, never first on a host's call.
IPlugBase::IPlugBase() { HostParameters::Get(); }

void IPlugBase::SetParameterFromGUI(int index, double normalized) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Parameter* p = params_.Get(index);
    if (!p) return;
    const double before = p->Value();
    p->SetNormalized(normalized);
    ChangedFromGUI(index, *p, before);
}

void IPlugBase::SetPlainFromGUI(int index, double plain) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Parameter* p = params_.Get(index);
    if (!p) return;
    const double before = p->Value();
    p->SetValue(plain);
    ChangedFromGUI(index, *p, before);
}

void IPlugBase::ChangedFromGUI(int index, const Parameter& p, double before) {
    // The host's own parameters are reported wherever they sit in the table.
    if (!p.NoHostReport() || HostIndexOfTable(index) >= 0) ReportToHost(index, p.Normalized());
    OnEditFromGUI(index, before, p.Value());
    OnParamChange(index, ChangeSource::User);
}

void IPlugBase::SetParameterFromHost(int index, double normalized) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Parameter* p = params_.Get(index);
    if (!p) return;
    p->SetNormalized(normalized);
    ShowInEditor(index, p->Normalized());
    OnParamChange(index, ChangeSource::Host);
}

double IPlugBase::GetParameterNormalized(int index) {
    const Parameter* p = params_.Get(index);
    return p ? p->Normalized() : 0.0;
}

void IPlugBase::SetParameterValue(int index, double plain, ChangeSource source) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Parameter* p = params_.Get(index);
    if (!p) return;
    p->SetValue(plain);
    ShowInEditor(index, p->Normalized());
    OnParamChange(index, source);
}

void IPlugBase::OnParamChange(int index, ChangeSource source) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const Parameter* p = params_.Get(index);
    if (!p) return;
    OnParameterChanged(index, p->Value(), source);
}

void IPlugBase::ReapplyAllParameters() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (int i = 0; i < ParameterTable::Size(); ++i) {
        const Parameter* p = params_.Get(i);
        if (!p || (p->Value() == p->Default() && EngineKeepsDefault(i))) continue;
        OnParameterChanged(i, p->Value(), ChangeSource::Reapply);
    }
}

bool IPlugBase::SelectProgram(int index) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!LoadProgram(index)) return false;
    currentProgram_ = index;
    programName_ = ProgramLabel(index, kProgramNameLength - 1);
    return true;
}

void IPlugBase::SetProgramName(const char* name) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    programName_.assign(name, strnlen(name, kProgramNameLength - 1));
}

}  // namespace sorel
