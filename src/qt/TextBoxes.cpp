#include "TextBoxes.h"

#include "catalogue/RomEntry.h"
#include "window/PanelRules.h"

#include <QFocusEvent>
#include <algorithm>

namespace brimble {

EditRuleValidator::EditRuleValidator(Rule rule, QObject* parent) : QValidator(parent), m_rule(std::move(rule)) {}

QValidator::State EditRuleValidator::validate(QString& input, int&) const {
    if (input == m_accepted || m_rule(m_accepted, input))
        return Acceptable;
    return Invalid;
}

RuleLineEdit::RuleLineEdit(EditRuleValidator::Rule rule, QWidget* parent)
    : QLineEdit(parent), m_validator(new EditRuleValidator(std::move(rule), this)) {
    setValidator(m_validator);
    // Every change that got through becomes the base of the next one.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { m_validator->SetAccepted(text); });
}

void RuleLineEdit::SetShownText(const QString& text) {
    m_validator->SetAccepted(text);
    setText(text);
}

bool AcceptTitleEdit(const QString& before, const QString& after) {
    const auto refused = [](const QString& text) {
        return std::count_if(text.begin(), text.end(),
                             [](QChar c) { return IsRefusedTitleCharacter(static_cast<char32_t>(c.unicode())); });
    };
    return refused(after) <= refused(before);
}

TitleBox::TitleBox(QWidget* parent) : RuleLineEdit(&AcceptTitleEdit, parent) {
    setMaxLength(static_cast<int>(kMaxTitleLength));
}

void TitleBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A popup (the box's own context menu, or the window's menu) leaves the edit in place.
    if (event->reason() != Qt::PopupFocusReason)
        emit FocusLost();
}

FollowBox::FollowBox(QWidget* parent)
    : RuleLineEdit([](const QString& before,
                      const QString& after) { return AcceptFollowEdit(before.toStdString(), after.toStdString()); },
                   parent) {}

} // namespace brimble
