#pragma once

#include <QString>

class ConfigClass;

// What the pages of a panel window need of the window: the record, the
// refreshing flag that silences their change handlers, the modified mark, the
// help line, a full refresh, the output-mode check and the panel number field
// that follows the slave number.
class PanelContext
{
public:
    virtual ~PanelContext() = default;

    virtual ConfigClass& Config() = 0;
    virtual bool Refreshing() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void SetDefaultValue(int tag) = 0;
    virtual void SetCaption() = 0;
    virtual void RefreshFields() = 0;
    virtual void VerifMode() = 0;
    virtual void SetPanelNumberText(const QString& text) = 0;
};
