#include "app/start_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "store/data_files.h"
#include "store/tsr_module.h"
#include "ui/current_records.h"
#include "windows/catalogue/circ_beam_window.h"
#include "windows/catalogue/single_pass_beam_window.h"
#include "windows/coherent/form_factor_window.h"
#include "windows/coherent/transition_radiation_window.h"
#include "windows/numerics/bessel_window.h"
#include "windows/sources/bending_magnet_window.h"
#include "windows/sources/single_pass_undulator_window.h"
#include "windows/sources/source_selection.h"
#include "windows/sources/undulator_window.h"
#include "windows/sources/wiggler_window.h"

namespace lumerad {

namespace {
constexpr int kButtonWidth = 145;
constexpr int kPictureHeight = 35;
constexpr int kTextHeight = 25;
}  // namespace

TfStart::TfStart(AppContext& ctx, const std::optional<QString>& dataFile, QWidget* parent)
    : ToolWindow(ctx, "TfStart", QStringLiteral("Lumerad"), parent), dataFile_(dataFile) {
    ctx_.beamAccepted = [this](bool singlePass) { beamAccepted(singlePass); };
    setCloseShortcut(false);  // closing the main window ends the program
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(4, 4, 4, 4);
    lay->setSpacing(2);

    QWidget* r1 = row("ToolBar1", true, true);
    pictureButton(r1, "picBtCB", QStyle::SP_BrowserReload, QStringLiteral("circulating beam"),
                  &TfStart::BtCBClick);
    pictureButton(r1, "picBtSPB", QStyle::SP_ArrowRight, QStringLiteral("single pass beam parameters"),
                  &TfStart::BtSPBClick);
    pictureButton(r1, "picBessel", QStyle::SP_FileDialogContentsView, QStringLiteral("Bessel's functions"),
                  &TfStart::BesselClick);
    coherent_[0] = pictureButton(r1, "picFF", QStyle::SP_FileDialogDetailedView,
                                 QStringLiteral("form factor"), &TfStart::FFClick);
    pictureButton(r1, "picClse", QStyle::SP_DialogCloseButton, QString(), &TfStart::ClseClick);

    QWidget* r2 = row("ToolBar2", false, true);
    textButton(r2, "BtCB", QStringLiteral("circulating beam"), QStringLiteral("circulating beam parameters"),
               &TfStart::BtCBClick);
    textButton(r2, "BtSPB", QStringLiteral("single pass beam"), QStringLiteral("single pass beam parameters"),
               &TfStart::BtSPBClick);
    textButton(r2, "Bessel", QStringLiteral("Bessel's functions"), QString(), &TfStart::BesselClick);
    coherent_[1] = textButton(r2, "FF", QStringLiteral("form factor"), QString(), &TfStart::FFClick);
    textButton(r2, "Clse", QStringLiteral("exit"), QString(), &TfStart::ClseClick);

    QWidget* r3 = row("ToolBar3", true, false);
    pictureButton(r3, "picBendM", QStyle::SP_MediaSeekForward, QStringLiteral("bending magnet radiation"),
                  &TfStart::BendMClick);
    pictureButton(r3, "picWiggler", QStyle::SP_MediaSkipForward, QStringLiteral("wiggler radiation"),
                  &TfStart::WigglerClick);
    pictureButton(r3, "picUnd", QStyle::SP_MediaPlay, QStringLiteral("undulator radiation"),
                  &TfStart::UndClick);
    coherent_[2] = pictureButton(r3, "picTR", QStyle::SP_TitleBarShadeButton,
                                 QStringLiteral("transition radiation"), &TfStart::TRClick);

    QWidget* r4 = row("ToolBar4", false, false);
    textButton(r4, "BendM", QStringLiteral("bend magnet"), QStringLiteral("bending magnet radiation"),
               &TfStart::BendMClick);
    textButton(r4, "Wiggler", QStringLiteral("wiggler"), QStringLiteral("wiggler magnet radiation"),
               &TfStart::WigglerClick);
    textButton(r4, "Und", QStringLiteral("undulator "), QStringLiteral("undulator radiation"),
               &TfStart::UndClick);
    coherent_[3] = textButton(r4, "TR", QStringLiteral("transition radiation"),
                              QStringLiteral("transition radiation"), &TfStart::TRClick);

    rows_[0] = r1;
    rows_[1] = r2;
    rows_[2] = r3;
    rows_[3] = r4;
    for (QWidget* r : rows_) lay->addWidget(r);
    for (QAbstractButton* b : coherent_) b->setEnabled(false);

    auto* title = new QLabel(QStringLiteral("Lumerad"), this);
    title->setObjectName(QStringLiteral("Panel1"));
    title->setAlignment(Qt::AlignCenter);
    title->setFrameShape(QFrame::Panel);
    title->setFrameShadow(QFrame::Sunken);
    title->setFixedHeight(60);
    QFont f = title->font();
    f.setPointSize(22);
    f.setBold(true);
    f.setItalic(true);
    title->setFont(f);
    title->setStyleSheet(QStringLiteral("color: #1f3f8f;"));
    lay->addWidget(title);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

QWidget* TfStart::row(const char* name, bool pictures, bool visible) {
    auto* r = new QWidget(this);
    r->setObjectName(QString::fromLatin1(name));
    auto* h = new QHBoxLayout(r);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    h->setAlignment(Qt::AlignLeft);
    r->setFixedHeight(pictures ? kPictureHeight : kTextHeight);
    r->setVisible(visible);
    if (!visible) r->hide();
    return r;
}

QAbstractButton* TfStart::pictureButton(QWidget* r, const char* name, int icon, const QString& hint,
                                        void (TfStart::*handler)()) {
    auto* b = new QToolButton(r);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setFixedSize(kButtonWidth, kPictureHeight);
    if (!hint.isEmpty()) b->setToolTip(hint);
    r->layout()->addWidget(b);
    connectAction(b, &QToolButton::clicked, [this, handler] { (this->*handler)(); });
    return b;
}

QAbstractButton* TfStart::textButton(QWidget* r, const char* name, const QString& caption,
                                     const QString& hint, void (TfStart::*handler)()) {
    auto* b = new QPushButton(caption, r);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedSize(kButtonWidth, kTextHeight);
    if (!hint.isEmpty()) b->setToolTip(hint);
    r->layout()->addWidget(b);
    connectAction(b, &QPushButton::clicked, [this, handler] { (this->*handler)(); });
    return b;
}

void TfStart::FormCreate() {
    ctx_.session.flags.CircBeamChosen = false;
    ctx_.session.flags.ParDirty = false;
    const QString path = dataFile_ ? *dataFile_ : findDataFile(QStringLiteral("DATA.TXT"));
    const std::string problem = ctx_.session.tab.loadFile(path.toStdString());
    if (!problem.empty()) ctx_.messages.error(problem);
}

// Closing a beam table keeps what the user typed into it: a changed record is posted first,
// and a post it refuses (a required field left empty) stops the switch with its message.
void TfStart::CB() {
    ctx_.module->SnglBeam->postPending();
    ctx_.module->SnglBeam->close();
    ctx_.module->CircBeam->open();
}

void TfStart::SB() {
    ctx_.module->CircBeam->postPending();
    ctx_.module->CircBeam->close();
    ctx_.module->SnglBeam->open();
}

void TfStart::setSourceKind(QWidget* window, const char* kind) {
    if (auto* box = window->findChild<QComboBox*>(QStringLiteral("coFilter"))) {
        int i = box->findText(QString::fromLatin1(kind));
        if (i >= 0)
            box->setCurrentIndex(i);
        else if (box->isEditable())
            box->setEditText(QString::fromLatin1(kind));
    }
}

void TfStart::BtCBClick() {
    CB();
    ctx_.show(WindowId::CircBeam);
    ctx_.session.flags.CircBeamChosen = true;
}

void TfStart::BtSPBClick() {
    SB();
    ctx_.show(WindowId::SinglePassBeam);
}

// Opens a source window on the circulating beam with the sources of one kind.
void TfStart::openSources(WindowId id, const char* kind) {
    CB();
    ctx_.show(id);
    SelectSources(ctx_, kind);
    setSourceKind(ctx_.window(id), kind);
}

void TfStart::BendMClick() {
    openSources(WindowId::BendingMagnet, "Bend");
    ctx_.session.flags.BendMagMode = true;
    ctx_.session.flags.WigglerMode = false;
}

void TfStart::WigglerClick() {
    if (ctx_.session.flags.CircBeamChosen) {
        openSources(WindowId::Wiggler, "Wig");
    } else {
        SB();
    }
    ctx_.session.flags.BendMagMode = false;
    ctx_.session.flags.WigglerMode = true;
}

void TfStart::UndClick() {
    if (ctx_.session.flags.CircBeamChosen) {
        openSources(WindowId::Undulator, "Und");
    } else {
        SB();
        ctx_.show(WindowId::SinglePassUndulator);
    }
    ctx_.session.flags.BendMagMode = false;
    ctx_.session.flags.WigglerMode = true;
}

void TfStart::TRClick() {
    SB();
    ctx_.show(WindowId::TransitionRadiation);
}

void TfStart::FFClick() {
    SB();
    ctx_.show(WindowId::FormFactor);
}

void TfStart::BesselClick() { ctx_.show(WindowId::BesselFunctions); }

bool TfStart::keepEdits() {
    TSRModule& m = *ctx_.module;
    for (Table* t : {m.CircBeam, m.SnglBeam, m.InsDevice}) {
        try {
            t->postPending();
        } catch (const std::exception& e) {
            if (!ctx_.messages.question(std::string(e.what()) +
                                        "\n\nEnd Lumerad anyway and discard this change?"))
                return false;
            t->cancel();
        }
    }
    return true;
}

void TfStart::ClseClick() {
    if (!keepEdits()) return;
    exiting_ = true;
    QApplication::closeAllWindows();
    QApplication::quit();
}

void TfStart::closeEvent(QCloseEvent* e) {
    // Closing the main window ends the program, as the exit button does.
    if (!exiting_ && !keepEdits()) {
        e->ignore();
        return;
    }
    e->accept();
    QApplication::quit();
}

void TfStart::beamAccepted(bool singlePass) {
    rows_[2]->setVisible(true);
    rows_[3]->setVisible(true);
    for (QAbstractButton* b : coherent_) b->setEnabled(singlePass);
    layout()->activate();
    adjustSize();
}

}  // namespace lumerad
