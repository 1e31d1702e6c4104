#include "windows/plot/enter_text_window.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/form_builder.h"

namespace lumerad {

TfEnterText::TfEnterText(AppContext&, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfEnterText"));
    setWindowTitle(QStringLiteral("enter data"));
    setModal(true);
    resize(653, 129);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 0, 0));
    setPalette(pal);

    edText_ = form::edit(this, "edText", QString(), QStringLiteral("input your selection here"));
    edText_->setPlaceholderText(QStringLiteral("input your selection here"));
    edText_->setFrame(false);
    edText_->setStyleSheet(QStringLiteral(
        "QLineEdit { background: yellow; color: navy; font-family: 'Times New Roman'; font-weight: bold;"
        " font-size: 17px; }"));
    bbAccept_ = form::button(this, "bbAccept", QStringLiteral("OK"));
    bbAccept_->setDefault(true);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(edText_);
    lay->addWidget(bbAccept_, 0, Qt::AlignHCenter);
    connect(bbAccept_, &QPushButton::clicked, this, [this] { bbAcceptClick(); });
}

void TfEnterText::prepare() { taken_ = false; }

void TfEnterText::bbAcceptClick() { accept(); }

void TfEnterText::done(int result) {
    if (result == QDialog::Accepted && !taken_) {
        EnteredText = edText_->text();
        edText_->clear();
        taken_ = true;
    }
    QDialog::done(result);
}

}  // namespace lumerad
