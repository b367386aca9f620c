#pragma once

#include "SimulatedPanel.h"

#include <QList>

#include <memory>
#include <vector>

// The simulated panels on one line, each under its own slave number, and what
// the line hears back when a request goes out: the reply of every panel
// listening at the line's settings, in the order the panels were added.
class PanelSet
{
public:
    SimulatedPanel& add(std::uint8_t slave, std::int32_t version, const QString& lineSettings);
    SimulatedPanel* find(std::uint8_t slave) const;
    void remove(std::uint8_t slave);
    QList<SimulatedPanel*> all() const;
    int count() const { return static_cast<int>(m_panels.size()); }

    QList<SimulatedPanel::Reply> answer(const QByteArray& request,
                                        const QString& lineSettings) const;

private:
    std::vector<std::unique_ptr<SimulatedPanel>> m_panels;
};
