#pragma once

#include "config/ConfigClass.h"

// The section store shared by every panel window: one copy each of the
// inputs, the outputs, the general section and the factory section of a
// configuration, kept until the program ends. The disturbance, repeat
// blocking and output mode fields are not carried: a paste leaves the
// target's own. Get takes a section from a configuration into the store, Set
// puts the stored section into a configuration (nothing when that section was
// never copied).
class ClipboardClass
{
public:
    bool InputData() const { return m_inputData; }
    bool OutputData() const { return m_outputData; }
    bool GeneralData() const { return m_generalData; }
    bool FactoryData() const { return m_factoryData; }

    void GetInputs(const ConfigClass& config);
    void SetInputs(ConfigClass& config) const;
    void GetOutputs(const ConfigClass& config);
    void SetOutputs(ConfigClass& config) const;
    void GetGeneral(const ConfigClass& config);
    void SetGeneral(ConfigClass& config) const;
    void GetFactory(const ConfigClass& config);
    void SetFactory(ConfigClass& config) const;

private:
    ConfigClass m_store;
    bool m_inputData = false;
    bool m_outputData = false;
    bool m_generalData = false;
    bool m_factoryData = false;
};
