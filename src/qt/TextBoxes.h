#pragma once

#include <QLineEdit>
#include <QValidator>
#include <functional>

namespace brimble {

// A validator that judges each edit by the text before it and the text after it, so that a
// text put in by the program is never refused and only what the user adds is checked.
class EditRuleValidator : public QValidator {
    Q_OBJECT
public:
    using Rule = std::function<bool(const QString& before, const QString& after)>;

    EditRuleValidator(Rule rule, QObject* parent);

    State validate(QString& input, int& position) const override;
    // The text the next edit starts from.
    void SetAccepted(const QString& text) { m_accepted = text; }

private:
    Rule m_rule;
    QString m_accepted;
};

// An edit box whose typed changes follow an edit rule.
class RuleLineEdit : public QLineEdit {
    Q_OBJECT
public:
    RuleLineEdit(EditRuleValidator::Rule rule, QWidget* parent);

    // Shows a text as it is, whatever the rule says about typing it.
    void SetShownText(const QString& text);

private:
    EditRuleValidator* m_validator;
};

// The title box: at most 31 characters, no field separator or line ends typed; tells when it
// loses the keyboard focus.
class TitleBox : public RuleLineEdit {
    Q_OBJECT
public:
    explicit TitleBox(QWidget* parent);

signals:
    void FocusLost();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

// The follow box: digits only, at most four typed.
class FollowBox : public RuleLineEdit {
    Q_OBJECT
public:
    explicit FollowBox(QWidget* parent);
};

// The title rule on Unicode text: no more refused characters after the edit than before.
bool AcceptTitleEdit(const QString& before, const QString& after);

} // namespace brimble
