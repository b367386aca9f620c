#pragma once

// Shared pieces of the shell's widget tests: the shipped data file, an INI
// file of the test's own, a simulated serial line as the console's port and
// small data files built from the text sources.

#include "DataFileWriter.h"
#include "DataSources.h"
#include "SimulatedLine.h"
#include "TestFiles.h"

#include "link/ComCtrl.h"
#include "settings/IniStore.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace ShellTest {

inline QString BinDir()
{
    return QStringLiteral(ORVEL_BIN_DIR);
}

inline QString ShippedDataFile()
{
    return BinDir() + QStringLiteral("/orvel.dat");
}

// An INI file in a temporary folder for the life of the object.
class IniSandbox
{
public:
    IniSandbox()
    {
        m_path = m_dir.filePath(QStringLiteral("orvel.ini"));
        SetIniFileNameOverride(m_path);
    }
    ~IniSandbox() { SetIniFileNameOverride({}); }
    IniSandbox(const IniSandbox&) = delete;
    IniSandbox& operator=(const IniSandbox&) = delete;

    const QString& path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    bool exists() const { return QFile::exists(m_path); }
    void write(const QByteArray& content) { TestFiles::WriteBytes(m_path, content); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The console's port: a simulated line with one panel (slave 1), closed as a
// new serial port is. lastLine receives the line made.
inline std::function<std::unique_ptr<ComCtrl>()> SimulatedPort(SimulatedLine** lastLine = nullptr)
{
    return [lastLine] {
        auto line = std::make_unique<SimulatedLine>();
        line->addPanel(1);
        line->SetPortOpen(false);
        if (lastLine)
            *lastLine = line.get();
        return std::unique_ptr<ComCtrl>(std::move(line));
    };
}

// The text sources of the shipped data file.
inline DataSources ShippedSources()
{
    QStringList errors;
    DataSources sources = ReadSources(QStringLiteral(ORVEL_SOURCE_DIR "/data"), errors);
    if (!errors.isEmpty())
        qWarning() << errors;
    return sources;
}

// Writes sources as a data file at path with the given password (empty: the
// program's own).
inline bool WriteData(const DataSources& sources, const QString& path,
                      const QByteArray& password = {})
{
    QString error;
    const bool ok = WriteDataFile(sources, path, error, password);
    if (!ok)
        qWarning() << error;
    return ok;
}

} // namespace ShellTest
