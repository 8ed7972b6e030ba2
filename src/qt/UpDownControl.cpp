#include "UpDownControl.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

namespace brimble {
namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    button->setToolTip(name);
    return button;
}

} // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), m_up(MakeArrow(Qt::UpArrow, QStringLiteral("Move up"), this)),
      m_down(MakeArrow(Qt::DownArrow, QStringLiteral("Move down"), this)) {
    setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { emit Step(-1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit Step(+1); });
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Up) {
            emit Step(-1);
            return;
        }
        if (event->key() == Qt::Key_Down) {
            emit Step(+1);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    // A two-pixel margin leaves room for the focus frame.
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const int upper = inner.height() / 2;
    m_up->setGeometry(inner.left(), inner.top(), inner.width(), upper);
    m_down->setGeometry(inner.left(), inner.top() + upper, inner.width(), inner.height() - upper);
}

void UpDownControl::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    // A frame around the arrows shows where the keys go.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void UpDownControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void UpDownControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace brimble
