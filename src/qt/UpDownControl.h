#pragma once

#include <QWidget>

class QToolButton;

namespace brimble {

// A bare pair of arrow buttons that holds no value: each click, each auto-repeat while an
// arrow is held and each Up or Down key while it has the focus reports a step, -1 for up
// and +1 for down. It is no tab stop; the window gives it the focus after a move.
class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

signals:
    void Step(int delta);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

} // namespace brimble
