#include "windows/catalogue/beam_editor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/numerics/errors.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/data_widgets.h"
#include "ui/form_builder.h"

namespace lumerad {

namespace {
QByteArray editName(const QString& field) {
    QString n = field;
    n.replace(QLatin1Char('/'), QLatin1Char('_'));
    return ("DBEdt" + n).toLatin1();
}
}  // namespace

BeamEditor::BeamEditor(AppContext& ctx, const char* className, const QString& caption, bool singlePass,
                       QWidget* parent)
    : ToolWindow(ctx, className, caption, parent), singlePass_(singlePass) {}

Table& BeamEditor::table() const { return singlePass_ ? *ctx_.module->SnglBeam : *ctx_.module->CircBeam; }

DBEdit* BeamEditor::addField(QWidget* host, form::Rows& rows, const QString& label, const char* field,
                             const QString& unit, const QString& hint) {
    const QString f = QString::fromLatin1(field);
    auto* e = new DBEdit(table(), f, ctx_.runner, host, editName(f).constData());
    e->setMinimumWidth(90);
    if (!hint.isEmpty()) e->setToolTip(hint);
    rows.add(label, e, unit);
    return e;
}

QWidget* BeamEditor::makeGrid(QWidget* parent, const char* name,
                              const std::vector<std::pair<const char*, QString>>& columns, int minHeight) {
    auto* grid = new DBGrid(table(), ctx_.runner, parent, name);
    grid->clearColumns();
    for (const auto& [field, title] : columns) grid->addColumn(QString::fromLatin1(field), title);
    grid->setMinimumSize(560, minHeight);
    return grid;
}

QWidget* BeamEditor::makeNavigator(QWidget* parent) {
    auto* nav = new DBNavigator(table(), ctx_.runner, parent, "DBNavigator1");
    nav->setToolTip(QStringLiteral("navigate configurations"));
    return nav;
}

QWidget* BeamEditor::makeNewButton(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* b = form::button(parent, name, caption, QStringLiteral("add a new configuration"));
    connectAction(b, &QPushButton::clicked, [this] { newConfiguration(); });
    return b;
}

QHBoxLayout* BeamEditor::makeButtons(QWidget* parent, const QString& acceptCaption, const QString& acceptHint,
                                     const char* closeName, const char* helpName) {
    auto* row = new QHBoxLayout;
    QPushButton* acceptButton = form::button(parent, "bbAccept", acceptCaption, acceptHint);
    QPushButton* acceptClose = form::button(parent, closeName, QStringLiteral("accept and &close"));
    QPushButton* helpButton =
        form::button(parent, helpName, QStringLiteral("help"), QStringLiteral("show help"));
    row->addWidget(acceptButton);
    row->addWidget(acceptClose);
    row->addStretch(1);
    row->addWidget(helpButton);
    connectAction(acceptButton, &QPushButton::clicked, [this] { accept(); });
    connectAction(acceptClose, &QPushButton::clicked, [this] {
        accept();
        close();
    });
    connectAction(helpButton, &QPushButton::clicked, [this] { help_->show(); });
    return row;
}

QWidget* BeamEditor::makeHelp(QWidget* parent, const char* name, const QStringList& lines, int minHeight) {
    help_ = new QPlainTextEdit(parent);
    help_->setObjectName(QString::fromLatin1(name));
    help_->setReadOnly(true);
    help_->setPlainText(lines.join(QLatin1Char('\n')));
    help_->setMinimumHeight(minHeight);
    help_->hide();
    help_->viewport()->installEventFilter(this);
    return help_;
}

bool BeamEditor::eventFilter(QObject* o, QEvent* e) {
    if (help_ && o == help_->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        act([this] { help_->hide(); });
        return true;
    }
    return ToolWindow::eventFilter(o, e);
}

void BeamEditor::formActivate() {
    Table& other = singlePass_ ? *ctx_.module->CircBeam : *ctx_.module->SnglBeam;
    other.postPending();
    other.close();
    table().open();
}

void BeamEditor::accept() {
    Table& t = table();
    if (!t.isOpen()) formActivate();
    if (!t.hasCurrent()) throw InputError("There is no beam configuration to accept: add one first.");
    // What the user typed counts: a pending edit is posted before the beam is calculated.
    if (t.editing()) t.post();
    t.edit();
    // A single-pass record is stored with what its calculation refreshed.
    if (singlePass_) t.post();
    requireUsableRecord(t);
    if (ctx_.beamAccepted) ctx_.beamAccepted(singlePass_);
}

void BeamEditor::newConfiguration() {
    Table& t = table();
    if (!t.isOpen()) formActivate();
    t.insert();
}

}  // namespace lumerad
