#pragma once

#include <QByteArray>
#include <QString>

// The text that remembers factory access on one workstation (INI key
// General/Factory). It is a hash of the system's machine identity and a
// constant of the console, so it is the same on every start of this machine,
// differs from one machine to another, and never reveals the identity itself.

// The system's machine identity ("" when the system gives none).
QByteArray MachineIdentity();

// 40 hexadecimal characters for the given identity; "" when the identity is
// empty (no token can be made, so factory access is never restored).
QString MachineToken(const QByteArray& machineIdentity);

// Length of the prefix that start-up compares.
constexpr int MachineTokenCompareLength = 24;

// True when a stored text restores factory access on the machine whose token
// is given: both hold at least MachineTokenCompareLength characters and agree
// on them.
bool MachineTokenMatches(const QString& stored, const QString& token);
