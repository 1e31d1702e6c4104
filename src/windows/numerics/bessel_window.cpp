#include "windows/numerics/bessel_window.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/state/session.h"
#include "ui/form_builder.h"
#include "ui/texts.h"

namespace lumerad {

TfBesFun::TfBesFun(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfBesFun", QStringLiteral("Bessel's Function"), parent) {
    auto* top = new QVBoxLayout(this);
    struct Row {
        const char* label;
        const char* name;
        bool input;
    };
    auto panel = [&](const char* name, const QString& caption, std::initializer_list<Row> rows) {
        auto* box = form::group(this, caption, name);
        form::Rows r(box);
        for (const Row& row : rows) {
            QLineEdit* e = row.input ? form::edit(box, row.name, {}) : form::output(box, row.name);
            if (row.input) {
                e->installEventFilter(this);
                connectAction(e, &QLineEdit::textChanged, [this] { BtnCalc_->show(); });
            }
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000E-000")) + 16);
            fields_[row.name] = e;
            r.add(QString::fromUtf8(row.label), e);
        }
        top->addWidget(box);
    };
    BtnCalc_ = form::button(this, "BtnCalc", QStringLiteral("refresh calculations !"),
                            QStringLiteral("evaluate the functions"));
    panel(
        "BesPnl", QStringLiteral("Bessel's Function J_n(x) :"),
        {{"x := ", "BsArg", true}, {"integer order  n :=", "BsOrd", true}, {"J_n (x) := ", "BsRes", false}});
    panel("MBsPnl", QStringLiteral("Modified Bessel's Functions K_ν (x > 0) :"),
          {{"x := ", "MBsArg", true}, {"K_1/3 (x) := ", "K13_x", false}, {"K_2/3 (x) := ", "K23_x", false}});
    panel("AiryPnl", QStringLiteral("Airy\"s Functions Ai(x) and Ai'(x) ; "),
          {{"x :=", "AiryArg", true}, {"Ai (x) :=", "Aiofx", false}, {"Ai' (x) :=", "AiPofx", false}});
    panel("UnFunPnl", QStringLiteral("Universal Function S(x) :"),
          {{"x :=", "UFArg", true}, {"S(x) := ", "UFVal", false}});
    panel("JJPnl", QStringLiteral("[JJ] = [J_(i-1)/2 (x) - J_(i+1)/2 (x) ]^2 "),
          {{"harmonic i := ", "JJh", true},
           {"K value := ", "JJK", true},
           {"x = iK^2/(4+2K^2) = ", "JJx", false},
           {"[JJ(x)] := ", "JJ", false},
           {"(i*K/(1+K^2/2))^2*[JJ] := ", "lnspctrm", false}});

    setDefaultButton(BtnCalc_);
    auto* exit =
        form::button(this, "Exit", QStringLiteral("close window ?"), QStringLiteral("close the window"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnCalc_);
    buttons->addStretch(1);
    buttons->addWidget(exit);
    top->addLayout(buttons);
    connectAction(BtnCalc_, &QPushButton::clicked, [this] { BtnCalcClick(); });
    connectAction(exit, &QPushButton::clicked, [this] { this->close(); });
    Initialize();
    resize(sizeHint().expandedTo(QSize(460, 0)));
}

// Entering an input field empties it, so that typing starts afresh; but only when the user
// moves there (mouse, Tab, a shortcut). Focus that comes back when a message box closes, or
// that the program gives the field of a refused text, leaves the text alone.
bool TfBesFun::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
            reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched)) edit->clear();
        }
    }
    return ToolWindow::eventFilter(watched, e);
}

void TfBesFun::writeFields(const FunctionPanelState& s) {
    for (const auto& [name, text] : s.text) {
        auto it = fields_.find(name);
        if (it != fields_.end() && it->second->text() != qs(text)) it->second->setText(qs(text));
    }
}

void TfBesFun::Initialize() {
    FunctionPanelState s;
    InitializeFunctions(s);
    writeFields(s);
    BtnCalc_->show();
}

void TfBesFun::Recalculate() {
    FunctionPanelState s;
    for (const auto& [name, edit] : fields_) s.text[name] = fieldText(edit);
    try {
        calculated([&] { return RecalculateFunctions(s, ctx_.session.tab); });
    } catch (...) {
        writeFields(s);
        if (!s.faultField.empty()) {
            QLineEdit* e = fields_[s.faultField];
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
        }
        throw;
    }
    writeFields(s);
}

void TfBesFun::BtnCalcClick() {
    Recalculate();
    // A hidden button hands its focus on as if by Tab, and a field entered by Tab empties
    // itself, asking for the next refresh: the window keeps the focus instead.
    if (BtnCalc_->hasFocus()) setFocus(Qt::OtherFocusReason);
    BtnCalc_->hide();
}

}  // namespace lumerad
