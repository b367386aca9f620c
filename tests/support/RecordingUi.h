#pragma once

#include "util/UiSeam.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <deque>
#include <functional>

// The UI seam for tests, installed while it lives: records every request and answers from
// queued scripts; else a message takes its default button, a dialog or file dialog is cancelled.
class RecordingUi : public UiSeam
{
public:
    using DialogScript = std::function<bool(QObject* dialog)>;

    RecordingUi() : m_previous(InstallUi(this)) {}
    ~RecordingUi() override { InstallUi(m_previous); }

    MsgAnswer message(const MessageRequest& request) override
    {
        messages << request;
        answersGiven << (m_answers.empty()
                             ? request.defaultButton.value_or(FirstButton(request.buttons))
                             : next(m_answers));
        return answersGiven.last();
    }
    bool execDialog(QObject* dialog) override
    {
        dialogsShown << (dialog ? dialog->objectName() : QString());
        return !m_dialogScripts.empty() && next(m_dialogScripts)(dialog);
    }
    QStringList fileDialog(const FileDialogRequest& request) override
    {
        fileRequests << request;
        return m_fileAnswers.empty() ? QStringList() : next(m_fileAnswers);
    }
    void beep() override { ++beeps; }
    void setBusy(bool value) override
    {
        busy = value;
        busyChanges << value;
    }

    void answerNext(MsgAnswer answer) { m_answers.push_back(answer); }
    void onNextDialog(DialogScript script) { m_dialogScripts.push_back(std::move(script)); }
    void answerNextFileDialog(const QStringList& paths) { m_fileAnswers.push_back(paths); }

    // Text of the last message, "" when none.
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear()
    {
        messages.clear();
        answersGiven.clear();
        dialogsShown.clear();
        fileRequests.clear();
        beeps = 0;
        busyChanges.clear();
    }

    QList<MessageRequest> messages;
    QList<MsgAnswer> answersGiven;
    QStringList dialogsShown; // object names
    QList<FileDialogRequest> fileRequests;
    int beeps = 0;
    bool busy = false;
    QList<bool> busyChanges;

private:
    template <class T> static T next(std::deque<T>& queue)
    {
        T front = std::move(queue.front());
        queue.pop_front();
        return front;
    }

    UiSeam* m_previous = nullptr;
    std::deque<MsgAnswer> m_answers;
    std::deque<DialogScript> m_dialogScripts;
    std::deque<QStringList> m_fileAnswers;
};
