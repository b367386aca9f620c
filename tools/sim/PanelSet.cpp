#include "PanelSet.h"

SimulatedPanel& PanelSet::add(std::uint8_t slave, std::int32_t version, const QString& lineSettings)
{
    m_panels.push_back(std::make_unique<SimulatedPanel>(slave, version, lineSettings));
    return *m_panels.back();
}

SimulatedPanel* PanelSet::find(std::uint8_t slave) const
{
    for (const auto& p : m_panels) {
        if (p->slave() == slave)
            return p.get();
    }
    return nullptr;
}

void PanelSet::remove(std::uint8_t slave)
{
    std::erase_if(m_panels, [slave](const auto& p) { return p->slave() == slave; });
}

QList<SimulatedPanel*> PanelSet::all() const
{
    QList<SimulatedPanel*> list;
    for (const auto& p : m_panels)
        list.append(p.get());
    return list;
}

QList<SimulatedPanel::Reply> PanelSet::answer(const QByteArray& request,
                                              const QString& lineSettings) const
{
    QList<SimulatedPanel::Reply> replies;
    for (const auto& p : m_panels) {
        if (p->listensAt(lineSettings))
            replies.append(p->handle(request));
    }
    return replies;
}
