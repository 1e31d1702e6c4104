#include "windows/sources/permanent_magnet_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/action_runner.h"
#include "ui/data_widgets.h"
#include "ui/tool_window.h"

namespace lumerad {

namespace {
QWidget* namedPanel(QWidget* parent) {
    auto* w = new QWidget(parent);
    w->setObjectName(QStringLiteral("pnPerMag"));
    return w;
}
}  // namespace

PermanentMagnetPanel::PermanentMagnetPanel(ToolWindow& window, QWidget* box, QVBoxLayout* lay,
                                           bool typeAsField, std::function<void()> changed)
    : bbYes_(form::button(box, "bbYes", QStringLiteral("Yes"), QStringLiteral("permanent magnet"))),
      bbNo_(form::button(box, "bbNo", QStringLiteral("No"), QStringLiteral("electromagnet"))),
      pnPerMag_(namedPanel(box)),
      rows_(pnPerMag_) {
    // Yes and No keep their places when one of them is hidden.
    for (QPushButton* b : {bbYes_, bbNo_}) form::keepPlaceWhenHidden(b);
    auto* yesNo = new QHBoxLayout;
    yesNo->addWidget(bbYes_);
    yesNo->addWidget(bbNo_);
    yesNo->addStretch(1);
    lay->addLayout(yesNo);
    if (typeAsField)
        magTyp_ = form::output(pnPerMag_, "MagTyp");
    else
        magTyp_ = form::label(pnPerMag_, {}, "MagTyp");
    rows_.add(QStringLiteral("magnet type"), magTyp_);
    lay->addWidget(pnPerMag_);
    window.connectAction(bbYes_, &QPushButton::clicked, [this, changed] {
        showKind(true);
        changed();
    });
    window.connectAction(bbNo_, &QPushButton::clicked, [this, changed] {
        showKind(false);
        changed();
    });
}

QWidget* PermanentMagnetPanel::makeField(QWidget* parent, const QString& hint) {
    auto* host = new QWidget(parent);
    auto* lay = new QHBoxLayout(host);
    lay->setContentsMargins(0, 0, 0, 0);
    Wfield_ = form::edit(host, "Wfield", QStringLiteral("1.0"), hint);
    fldmax_ = form::label(host, {}, "fldmax", QStringLiteral("peak field at the gap"));
    lay->addWidget(Wfield_);
    lay->addWidget(fldmax_);
    return host;
}

DBEdit* PermanentMagnetPanel::addGap(Table& src, ToolWindow& window, const QString& label,
                                     const QString& hint, const QString& note) {
    auto* gap = new DBEdit(src, QStringLiteral("Gap"), window.ctx().runner, pnPerMag_, "DBEdtgap");
    if (!hint.isEmpty()) gap->setToolTip(hint);
    rows_.add(label, gap, QStringLiteral("mm"));
    rows_.addWide(form::label(pnPerMag_, note));
    return gap;
}

void PermanentMagnetPanel::showKind(bool permanent) {
    pnPerMag_->setVisible(permanent);
    bbNo_->setVisible(permanent);
    bbYes_->setVisible(!permanent);
    Wfield_->setVisible(!permanent);
    fldmax_->setVisible(permanent);
}

void PermanentMagnetPanel::followMagnet(bool permanent) {
    if (permanent && Wfield_->isHidden()) {
        pnPerMag_->show();
        bbNo_->show();
        bbYes_->hide();
    } else if (!permanent) {
        showKind(false);
    }
}

void PermanentMagnetPanel::showPeakField() {
    Wfield_->hide();
    fldmax_->show();
}

}  // namespace lumerad
