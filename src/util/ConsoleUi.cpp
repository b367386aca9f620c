#include "ConsoleUi.h"

#include <cstdio>

namespace {
const char* prefix(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return "error: ";
    case MsgIcon::Exclamation:
        return "warning: ";
    case MsgIcon::Question:
        return "question: ";
    case MsgIcon::Information:
    case MsgIcon::None:
        break;
    }
    return "";
}
} // namespace

MsgAnswer ConsoleUi::message(const MessageRequest& request)
{
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fprintf(stderr, "%s%s\n", prefix(request.icon), text.toLocal8Bit().constData());
    std::fflush(stderr);
    return request.defaultButton.value_or(FirstButton(request.buttons));
}

bool ConsoleUi::execDialog(QObject*)
{
    return false;
}

QStringList ConsoleUi::fileDialog(const FileDialogRequest&)
{
    return {};
}

void ConsoleUi::beep() {}

void ConsoleUi::setBusy(bool) {}
