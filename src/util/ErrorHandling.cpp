#include "ErrorHandling.h"

#include "UiSeam.h"

namespace {
TextLookup& lookup()
{
    static TextLookup current;
    return current;
}
} // namespace

void SetTextLookup(TextLookup lookupFn)
{
    lookup() = std::move(lookupFn);
}

QString LookupText(int tag)
{
    if (lookup())
        return lookup()(tag);
    return QLatin1Char('#') + QString::number(tag) + QLatin1Char('#');
}

QString ErrorReportText(const QString& source, int number)
{
    const QString crlf = QStringLiteral("\r\n");
    const qsizetype p = source.indexOf(QLatin1Char('.'));
    const qsizetype q = p >= 0 ? source.indexOf(QLatin1Char('_'), p + 1) : -1;

    QString text = QStringLiteral("Error Nr ") + QString::number(number) + QStringLiteral(" : ") +
                   ErrorDescription(number) + crlf + crlf;
    if (p < 0)
        return text + QStringLiteral("Module : ") + source;
    text += QStringLiteral("Module : ") + source.left(p);
    if (q < 0)
        return text + crlf + QStringLiteral("Function : ") + source.mid(p + 1);
    return text + crlf + QStringLiteral("Object : ") + source.mid(p + 1, q - p - 1) + crlf +
           QStringLiteral("Event : ") + source.mid(q + 1);
}

void ReportError(const QString& source, int number)
{
    Ui().setBusy(false);
    if (number == ErrNo::PortInvalid) {
        MsgBox(LookupText(10101), MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    MsgBox(ErrorReportText(source, number), MsgIcon::Critical, MsgButtons::Ok);
}
