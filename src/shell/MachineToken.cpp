#include "MachineToken.h"

#include <QCryptographicHash>
#include <QSysInfo>

namespace {
// Mixed into the hash so the token is the console's own and cannot be
// computed from the machine identity alone by another program's rule.
constexpr char TokenSalt[] = "Orvel console / factory access / 2f9c61d4";
constexpr int TokenLength = 40;
} // namespace

QByteArray MachineIdentity()
{
    return QSysInfo::machineUniqueId();
}

QString MachineToken(const QByteArray& machineIdentity)
{
    if (machineIdentity.trimmed().isEmpty())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(TokenSalt));
    hash.addData(QByteArrayView("\n"));
    hash.addData(machineIdentity);
    return QString::fromLatin1(hash.result().toHex().toUpper().left(TokenLength));
}

bool MachineTokenMatches(const QString& stored, const QString& token)
{
    if (stored.size() < MachineTokenCompareLength || token.size() < MachineTokenCompareLength)
        return false;
    return stored.left(MachineTokenCompareLength) == token.left(MachineTokenCompareLength);
}
