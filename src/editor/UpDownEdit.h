#pragma once

#include <QSpinBox>

// A numeric text field with an up-down: the arrows (buttons, arrow keys,
// wheel) move the value by the step within their own minimum and maximum,
// while typing accepts digits only, up to the typing maximum. Every other
// printable key is swallowed. Used by the grids' up-down cells and by the
// numeric fields of the panel window.
class UpDownEdit : public QSpinBox
{
    Q_OBJECT

public:
    explicit UpDownEdit(QWidget* parent = nullptr);

    void SetArrowRange(int min, int max, int step = 1);
    void SetArrowMinimum(int min);
    void SetArrowMaximum(int max);
    int ArrowMinimum() const { return m_arrowMin; }
    int ArrowMaximum() const { return m_arrowMax; }
    int ArrowStep() const { return m_step; }
    // Highest value that typing may give (the arrows' maximum unless set).
    void SetTypingMaximum(int max);

    // The text shown, and setting it as if typed.
    QString Text() const;
    void SetText(const QString& text);
    // Sets the text once the key being typed has been handled: a handler
    // that corrects the text while the user types uses this.
    void SetTextLater(const QString& text);

    void stepBy(int steps) override;
    // As wide as the arrows' largest value needs.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_arrowMin = 0;
    int m_arrowMax = 99;
    int m_step = 1;
};
