#include "windows/catalogue/circ_beam_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/data_widgets.h"
#include "store/tsr_module.h"
#include "core/numerics/errors.h"
#include "ui/form_builder.h"

namespace lumerad {

namespace {

const char* const kHelp[] = {
    "Circulating Beam Parameters:",
    "(double click this form to close!)",
    "Here you select or specify circulating beam parameters",
    "as you may find in synchrotrons and storage rings. They",
    "may be from existing facilities or design values. You may",
    "edit values either in the selection grid or in the editing",
    "box. The grid NAVIGATOR (on bottom of grid) lets you add,",
    "insert, delete beam configurations. See also \"hints\" for more",
    "details as you press a button.",
    "",
    "To define a new data set press \"+\" on the navigator panel;",
    "to delete a set select it and press \"-\";",
    "to edit an existing data set select it and press \"^\";",
    "to save an edit or new definition press 4th button from left",
    "on navigator;",
    "to cancel an edit press \"x\";",
    "and to refresh data from the data base press last button on",
    "navigator.",
    "",
    " ",
};

QByteArray editName(const QString& field) {
    QString n = field;
    n.replace(QLatin1Char('/'), QLatin1Char('_'));
    return ("DBEdt" + n).toLatin1();
}

}  // namespace

TfCBeam::TfCBeam(AppContext& ctx, QWidget* parent)
    : ToolWindow(ctx, "TfCBeam", QStringLiteral("Circulating Beam Parameters"), parent) {
    Table& t = *ctx.module->CircBeam;
    ActionRunner& run = ctx.runner;

    auto* top = new QHBoxLayout(this);

    // Editing panel.
    QGroupBox* edit = form::group(this, QStringLiteral("define new e-beam configuration:"), "gbEdit");
    form::Rows rows(edit);
    auto bound = [&](const char* label, const char* field, const QString& unit) {
        QString f = QString::fromLatin1(field);
        auto* e = new DBEdit(t, f, run, edit, editName(f).constData());
        e->setMinimumWidth(90);
        rows.add(QString::fromUtf8(label), e, unit);
    };
    bound("configuration name", "SR", {});
    bound("energy ", "Energy", QStringLiteral("GeV"));
    bound("current", "Cur", QStringLiteral("mA"));
    bound("emittance_x", "Eps_x", QStringLiteral("n-m"));
    bound("emittance_y", "Eps_y", QStringLiteral("n-m"));
    bound("coupling", "Coupl", QStringLiteral("%"));
    bound("sigmaE/E", "DE/E", QStringLiteral("%"));
    bound("beta_x", "Beta_x", QStringLiteral("m"));
    bound("beta_y", "Beta_y", QStringLiteral("m"));
    bound("alpha_x", "Alpha_x", {});
    bound("alpha_y", "Alpha_y", {});
    bound("eta_x", "Eta_x", QStringLiteral("m"));
    bound("eta_y", "Eta_y", QStringLiteral("m"));
    bound("eta'_x", "Etap_x", {});
    bound("eta'_y", "Etap_y", {});
    bound("gamma ", "Gamma", {});
    bound("sigma_x", "Sig_xb", QStringLiteral("\u00b5m"));
    bound("sigma_y", "Sig_yb", QStringLiteral("\u00b5m"));
    bound("sigma_x'", "Sig_xp", QStringLiteral("\u00b5rad"));
    bound("sigma_y'", "Sig_yp", QStringLiteral("\u00b5rad"));
    top->addWidget(edit);

    // Selection panel.
    auto* sel = new QWidget(this);
    sel->setObjectName(QStringLiteral("PnlSelect"));
    auto* sl = new QVBoxLayout(sel);
    sl->addWidget(form::label(sel, QStringLiteral("select source configuration")));
    auto* yesRow = new QHBoxLayout;
    yesRow->addWidget(form::label(sel, QStringLiteral("or add new one:")));
    QPushButton* yes =
        form::button(sel, "bbYes", QStringLiteral("&Yes"), QStringLiteral("add a new configuration"));
    yesRow->addWidget(yes);
    yesRow->addStretch(1);
    sl->addLayout(yesRow);
    SRings = new DBGrid(t, run, sel, "SRings");
    SRings->clearColumns();
    for (const char* f :
         {"SR", "Energy", "Cur", "Eps_x", "Eps_y", "DE/E", "Beta_x", "Alpha_x", "Beta_y", "Alpha_y", "Eta_x",
          "Eta_y", "Sig_xb", "Sig_yb", "Sig_xp", "Sig_yp", "Sig_eta", "Gamma", "Coupl"})
        SRings->addColumn(QString::fromLatin1(f), QString::fromLatin1(f));
    SRings->setMinimumSize(560, 260);
    sl->addWidget(SRings, 1);
    DBNavigator1 = new DBNavigator(t, run, sel, "DBNavigator1");
    DBNavigator1->setToolTip(QStringLiteral("navigate configurations"));
    sl->addWidget(DBNavigator1);

    auto* buttons = new QHBoxLayout;
    QPushButton* accept = form::button(sel, "bbAccept", QStringLiteral("accept "),
                                       QStringLiteral("accept configuration and calculate"));
    QPushButton* accClose = form::button(sel, "bbAccClose", QStringLiteral("accept and &close"));
    QPushButton* help = form::button(sel, "bbCBHelp", QStringLiteral("help"), QStringLiteral("show help"));
    buttons->addWidget(accept);
    buttons->addWidget(accClose);
    buttons->addStretch(1);
    buttons->addWidget(help);
    sl->addLayout(buttons);

    mCBHelp = new QPlainTextEdit(sel);
    mCBHelp->setObjectName(QStringLiteral("mCBHelp"));
    mCBHelp->setReadOnly(true);
    QStringList lines;
    for (const char* l : kHelp) lines << QString::fromLatin1(l);
    mCBHelp->setPlainText(lines.join(QLatin1Char('\n')));
    mCBHelp->setMinimumHeight(200);
    mCBHelp->hide();
    mCBHelp->viewport()->installEventFilter(this);
    sl->addWidget(mCBHelp);
    top->addWidget(sel, 1);

    connectAction(accept, &QPushButton::clicked, [this] { bbAcceptClick(); });
    connectAction(accClose, &QPushButton::clicked, [this] { bbAccCloseClick(); });
    connectAction(yes, &QPushButton::clicked, [this] { bbYesClick(); });
    connectAction(help, &QPushButton::clicked, [this] { bbCBHelpClick(); });
}

bool TfCBeam::eventFilter(QObject* o, QEvent* e) {
    if (o == mCBHelp->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        act([this] { mCBHelpDblClick(); });
        return true;
    }
    return ToolWindow::eventFilter(o, e);
}

void TfCBeam::formActivate() {
    ctx_.module->SnglBeam->postPending();
    ctx_.module->SnglBeam->close();
    ctx_.module->CircBeam->open();
}

void TfCBeam::Accept() {
    Table& t = *ctx_.module->CircBeam;
    if (!t.isOpen()) formActivate();
    if (!t.hasCurrent()) throw InputError("There is no beam configuration to accept: add one first.");
    if (t.editing()) t.post();
    t.edit();
    requireUsableRecord(t);
    if (ctx_.beamAccepted) ctx_.beamAccepted(false);
}

void TfCBeam::bbAcceptClick() { Accept(); }

void TfCBeam::bbAccCloseClick() {
    Accept();
    close();
}

void TfCBeam::bbYesClick() {
    Table& t = *ctx_.module->CircBeam;
    if (!t.isOpen()) formActivate();
    t.insert();
}

void TfCBeam::bbCBHelpClick() { mCBHelp->show(); }
void TfCBeam::mCBHelpDblClick() { mCBHelp->hide(); }

}  // namespace lumerad
