#pragma once
// The modal one-line text dialog through which titles are typed. The accepted text is
// kept in EnteredText for the rest of the run.
#include <QDialog>

#include "ui/app_context.h"

class QLineEdit;
class QPushButton;

namespace lumerad {

class TfEnterText : public QDialog {
    Q_OBJECT
public:
    explicit TfEnterText(AppContext& ctx, QWidget* parent = nullptr);

    // The last accepted text (empty at start).
    QString EnteredText;

    // Called before each modal run.
    void prepare();

    void done(int result) override;

private:
    void bbAcceptClick();
    QLineEdit* edText_;
    QPushButton* bbAccept_;
    bool taken_ = false;  // the text of this run was taken over already
};

}  // namespace lumerad
