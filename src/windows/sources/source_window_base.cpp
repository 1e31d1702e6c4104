#include "windows/sources/source_window_base.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include "ui/current_records.h"
#include "ui/form_builder.h"
#include "windows/sources/source_selection.h"

namespace lumerad {

ClickPanel::ClickPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setCursor(Qt::PointingHandCursor);
}

void ClickPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit clicked();
    QFrame::mousePressEvent(e);
}

SourceWindow::SourceWindow(AppContext& ctx, const char* className, const QString& caption, QWidget* parent)
    : ToolWindow(ctx, className, caption, parent) {}

// colour: a 24-bit value, red in the low byte.
void SourceWindow::setMarker(int colour, bool flat) {
    const QColor c(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
    if (!tbRecalc_) return;
    QFont f = tbRecalc_->font();
    f.setPointSize(kMarkerSize);
    tbRecalc_->setFont(f);
    QPalette p = tbRecalc_->palette();
    p.setColor(QPalette::ButtonText, c);
    p.setColor(QPalette::WindowText, c);
    tbRecalc_->setPalette(p);
    tbRecalc_->setAutoRaise(flat);
}

void SourceWindow::markStale() {
    stale_ = true;
    setMarker(kStaleColour, false);
}

void SourceWindow::markFresh() {
    stale_ = false;
    setMarker(kFreshColour, true);
}

void SourceWindow::bbApplyClick() {
    SelectSources(ctx_, coFilter_ ? coFilter_->currentText().toStdString() : std::string());
}

void SourceWindow::PnlBemParClick() { ctx_.show(WindowId::CircBeam); }

QToolBar* SourceWindow::makeToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    tbRecalc_ = form::toolButton(bar, "tbRecalc", QStringLiteral("recalculate"),
                                 QStringLiteral("recalculate with the current parameters"));
    connectAction(tbRecalc_, &QToolButton::clicked, [this] { recalculate(); });
    setDefaultButton(tbRecalc_);
    return bar;
}

QToolButton* SourceWindow::addExitButton(QToolBar* bar) {
    auto* b = form::toolButton(bar, "tbExit", QStringLiteral("exit"), QStringLiteral("close window"));
    connectAction(b, &QToolButton::clicked, [this] { this->close(); });
    return b;
}

QWidget* SourceWindow::makeFilterSelector(QWidget* parent, const QString& hint, const QStringList& kinds) {
    auto* w = new QWidget(parent);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    coFilter_ = form::combo(w, "coFilter", kinds, hint);
    bbApply_ =
        form::button(w, "bbApply", QStringLiteral("apply"), QStringLiteral("show the sources of this kind"));
    h->addWidget(coFilter_);
    h->addWidget(bbApply_);
    connectAction(bbApply_, &QPushButton::clicked, [this] { bbApplyClick(); });
    return w;
}

ClickPanel* SourceWindow::makeBeamPanel(QWidget* parent) {
    pnlBemPar_ = new ClickPanel(parent);
    pnlBemPar_->setObjectName(QStringLiteral("PnlBemPar"));
    pnlBemPar_->setToolTip(QStringLiteral("beam parameter: click to choose or edit the beam"));
    connectAction(pnlBemPar_, &ClickPanel::clicked, [this] { PnlBemParClick(); });
    return pnlBemPar_;
}

}  // namespace lumerad
