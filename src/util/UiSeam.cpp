#include "UiSeam.h"

#include "ConsoleUi.h"

namespace {
ConsoleUi& defaultUi()
{
    static ConsoleUi ui;
    return ui;
}
UiSeam* g_current = nullptr;
} // namespace

UiSeam::~UiSeam() = default;

UiSeam& Ui()
{
    return g_current ? *g_current : defaultUi();
}

UiSeam* InstallUi(UiSeam* seam)
{
    UiSeam* previous = g_current;
    g_current = seam;
    return previous;
}

MsgAnswer FirstButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
        return MsgAnswer::Retry;
    case MsgButtons::AbortRetryIgnore:
        return MsgAnswer::Abort;
    }
    return MsgAnswer::Ok;
}

MsgAnswer MsgBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                 std::optional<MsgAnswer> defaultButton)
{
    MessageRequest request;
    request.text = text;
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return Ui().message(request);
}
