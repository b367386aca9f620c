#pragma once

#include "util/UiSeam.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

// The UI seam for tests: records every message, dialog, file dialog, beep and
// busy-pointer change, and answers from scripts queued beforehand. An
// unscripted message takes its default button, an unscripted dialog is
// cancelled and an unscripted file dialog returns nothing. Installs itself on
// construction and restores the previous seam on destruction.
class RecordingUi : public UiSeam
{
public:
    using DialogScript = std::function<bool(QObject* dialog)>;

    RecordingUi();
    ~RecordingUi() override;

    MsgAnswer message(const MessageRequest& request) override;
    bool execDialog(QObject* dialog) override;
    QStringList fileDialog(const FileDialogRequest& request) override;
    void beep() override { ++beeps; }
    void setBusy(bool busy) override;

    void answerNext(MsgAnswer answer) { m_answers.push_back(answer); }
    void onNextDialog(DialogScript script) { m_dialogScripts.push_back(std::move(script)); }
    void answerNextFileDialog(const QStringList& paths) { m_fileAnswers.push_back(paths); }

    // Text of the last message, "" when none.
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear();

    QList<MessageRequest> messages;
    QList<MsgAnswer> answersGiven;
    QStringList dialogsShown; // object names
    QList<FileDialogRequest> fileRequests;
    int beeps = 0;
    bool busy = false;
    QList<bool> busyChanges;

private:
    UiSeam* m_previous = nullptr;
    std::deque<MsgAnswer> m_answers;
    std::deque<DialogScript> m_dialogScripts;
    std::deque<QStringList> m_fileAnswers;
};
