#include "RecordingUi.h"

#include <QObject>

RecordingUi::RecordingUi()
{
    m_previous = InstallUi(this);
}

RecordingUi::~RecordingUi()
{
    InstallUi(m_previous);
}

MsgAnswer RecordingUi::message(const MessageRequest& request)
{
    messages << request;
    MsgAnswer answer = request.defaultButton.value_or(FirstButton(request.buttons));
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    answersGiven << answer;
    return answer;
}

bool RecordingUi::execDialog(QObject* dialog)
{
    dialogsShown << (dialog ? dialog->objectName() : QString());
    if (m_dialogScripts.empty())
        return false;
    DialogScript script = std::move(m_dialogScripts.front());
    m_dialogScripts.pop_front();
    return script(dialog);
}

QStringList RecordingUi::fileDialog(const FileDialogRequest& request)
{
    fileRequests << request;
    if (m_fileAnswers.empty())
        return {};
    QStringList answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

void RecordingUi::setBusy(bool value)
{
    busy = value;
    busyChanges << value;
}

void RecordingUi::clear()
{
    messages.clear();
    answersGiven.clear();
    dialogsShown.clear();
    fileRequests.clear();
    beeps = 0;
    busyChanges.clear();
}
