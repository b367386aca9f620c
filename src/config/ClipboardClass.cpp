#include "ClipboardClass.h"

#include "util/ErrorHandling.h"

namespace {
void CopyInputs(const ConfigClass& from, ConfigClass& to)
{
    for (int i = 1; i <= ConfigClass::Channels; ++i) {
        to.SetInSecu(i, from.InSecu(i));
        to.SetInTempo(i, from.InTempo(i));
        to.SetInSequence(i, from.InSequence(i));
        to.SetInDetect(i, from.InDetect(i));
        to.SetInRelance(i, from.InRelance(i));
        to.SetInBlocage(i, from.InBlocage(i));
        for (int k = 1; k <= ConfigClass::Redirections; ++k)
            to.SetInRedir(i, k, from.InRedir(i, k));
        to.SetInSynth(i, from.InSynth(i));
        to.SetInTypeKL(i, from.InTypeKL(i));
    }
}

void CopyOutputs(const ConfigClass& from, ConfigClass& to)
{
    for (int i = 1; i <= ConfigClass::Channels; ++i) {
        to.SetOutSecu(i, from.OutSecu(i));
        to.SetOutPilot(i, from.OutPilot(i));
    }
}

void CopyGeneral(const ConfigClass& from, ConfigClass& to)
{
    // Through the record's own setter: parameter 23 also sets the panel number.
    for (int i = 0; i < ConfigClass::GenParamCount; ++i)
        to.SetGenParam(i, from.GenParam(i));
    to.SetGenTempoRelance(from.GenTempoRelance());
}

void CopyFactory(const ConfigClass& from, ConfigClass& to)
{
    to.SetBrightMin(from.BrightMin());
    to.SetSupplyType(from.SupplyType());
    to.SetCommonType(from.CommonType());
}
} // namespace

void ClipboardClass::GetInputs(const ConfigClass& config)
{
    Trap("ClipboardClass.GetInputs", [&] {
        CopyInputs(config, m_store);
        m_inputData = true;
    });
}

void ClipboardClass::SetInputs(ConfigClass& config) const
{
    Trap("ClipboardClass.SetInputs", [&] {
        if (m_inputData)
            CopyInputs(m_store, config);
    });
}

void ClipboardClass::GetOutputs(const ConfigClass& config)
{
    Trap("ClipboardClass.GetOutputs", [&] {
        CopyOutputs(config, m_store);
        m_outputData = true;
    });
}

void ClipboardClass::SetOutputs(ConfigClass& config) const
{
    Trap("ClipboardClass.SetOutputs", [&] {
        if (m_outputData)
            CopyOutputs(m_store, config);
    });
}

void ClipboardClass::GetGeneral(const ConfigClass& config)
{
    Trap("ClipboardClass.GetGeneral", [&] {
        CopyGeneral(config, m_store);
        m_generalData = true;
    });
}

void ClipboardClass::SetGeneral(ConfigClass& config) const
{
    Trap("ClipboardClass.SetGeneral", [&] {
        if (m_generalData)
            CopyGeneral(m_store, config);
    });
}

void ClipboardClass::GetFactory(const ConfigClass& config)
{
    Trap("ClipboardClass.GetFactory", [&] {
        CopyFactory(config, m_store);
        m_factoryData = true;
    });
}

void ClipboardClass::SetFactory(ConfigClass& config) const
{
    Trap("ClipboardClass.SetFactory", [&] {
        if (m_factoryData)
            CopyFactory(m_store, config);
    });
}
